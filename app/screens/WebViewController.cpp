#include "app/screens/WebViewController.h"

#include "platform/ui/NavigationItem.h"
#include "platform/ui/Storyboard.h"

TAVRIX_REGISTER_SCENE("Main", "WebViewController", WebViewController);

WebViewController::WebViewController(QObject* parent) : ViewController(parent) {}

void WebViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    navigationItem()->setTitle(m_strOfTitle);
}
