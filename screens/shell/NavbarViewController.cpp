#include "screens/shell/NavbarViewController.h"

#include "app/core/PublicFunction.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Storyboard.h"
#include "screens/shell/TavrixApplicationSpecific.h"

TAVRIX_REGISTER_SCENE("Main", "NavbarViewController", NavbarViewController);

NavbarViewController::NavbarViewController(ui::ViewController* root, QObject* parent)
    : ui::NavigationController(root, parent) {}

void NavbarViewController::viewDidLoad() {
    ui::NavigationController::viewDidLoad();
    ui::NavigationBar* bar = navigationBar();
    bar->setBarStyle(ui::NavigationBar::BarStyle::Black);
    bar->setTranslucent(false);
    bar->setTitleFont(ui::Font::systemFontOfSize(18));
    bar->setTitleTextColor(Qt::white);
    bar->setBackgroundColor(Qt::transparent);
    if (PublicFunction::isIOS7OrLater()) {
        bar->setBarTintColor(TavrixApplicationSpecific::tavrix_blueColor());
        bar->setBackIndicatorImage(ui::imageNamed("header_back"));
    } else {
        bar->setTintColor(TavrixApplicationSpecific::tavrix_blueColor());
    }
}
