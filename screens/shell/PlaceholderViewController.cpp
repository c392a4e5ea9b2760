#include "screens/shell/PlaceholderViewController.h"

#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

PlaceholderViewController::PlaceholderViewController(const QString& title, QObject* parent)
    : ViewController(parent), m_pageTitle(title) {
    setTitle(title);
}

void PlaceholderViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    // A full-size label: touches on the page land on it, so the page owns them.
    m_titleLabel = new ui::Label(view()->bounds(), view());
    m_titleLabel->setText(m_pageTitle);
    m_titleLabel->setFont(ui::Font::systemFontOfSize(20));
    m_titleLabel->setTextColor(QColor(120, 120, 120));
    m_titleLabel->setTextAlignment(ui::TextAlignment::Center);
    m_titleLabel->setUserInteractionEnabled(true); // a label lets presses through otherwise
}
