#include "screens/query/OperatorPages.h"

#include "app/core/EncryptedPhoneNumber.h"
#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "screens/web/WebViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/View.h"

#include <QUrl>

namespace OperatorPages {

QString pageAddress(const QString& pathAndQuery, const QStringList& values) {
    QString out = tavrixConfig::serverBaseAddress();
    qsizetype next = 0;
    for (qsizetype i = 0; i < pathAndQuery.size(); ++i) {
        if (pathAndQuery.at(i) == '%' && i + 1 < pathAndQuery.size() &&
            pathAndQuery.at(i + 1) == '@') {
            out += QString::fromLatin1(QUrl::toPercentEncoding(values.value(next++)));
            ++i;
        } else {
            out += pathAndQuery.at(i);
        }
    }
    return out;
}

QString encryptedPageAddress(const QString& pathAndQuery) {
    const QString phone = PublicFunction::getConfigWithKey("username").toString();
    const QString session = PublicFunction::getConfigWithKey("session").toString();
    const EncryptedPhoneNumber key = EncryptedPhoneNumber::forWebPage();
    return pageAddress(pathAndQuery, {phone, session, key.nonce(), key.encrypt(phone)});
}

ui::ViewController* pushScene(ui::ViewController* from, const QString& storyboard,
                              const QString& identifier, bool hidesBottomBar, bool animated,
                              const std::function<void(ui::ViewController*)>& configure) {
    ui::NavigationController* nav = from ? from->navigationController() : nullptr;
    if (!nav) return nullptr;
    ui::ViewController* screen = ui::Storyboard::instantiateViewController(storyboard, identifier);
    if (!screen) return nullptr;
    screen->setHidesBottomBarWhenPushed(hidesBottomBar);
    if (configure) configure(screen);
    nav->pushViewController(screen, animated);
    return screen;
}

ui::ViewController* openWebPage(ui::ViewController* from, const QString& url, const QString& title,
                                bool hidesBottomBar) {
    return pushScene(from, "Main", "WebViewController", hidesBottomBar, true,
                     [&](ui::ViewController* screen) {
                         if (auto* web = qobject_cast<WebViewController*>(screen)) {
                             web->setRequestURL(url);
                             web->setStrOfTitle(title);
                         }
                     });
}

} // namespace OperatorPages

namespace OperatorPages {

ui::Button* buttonWithTag(const ui::ViewController* screen, int tag) {
    if (!screen || !screen->isViewLoaded()) return nullptr;
    return qobject_cast<ui::Button*>(
        const_cast<ui::ViewController*>(screen)->view()->viewWithTag(tag));
}

ui::Button* entryButton(ui::View* parent, const QRectF& frame, int tag, const QString& title,
                        const std::function<void(ui::Button*)>& action) {
    auto* button = new ui::Button(frame, parent);
    button->setTag(tag);
    button->setTitle(title);
    button->setTitleColor(QColor(51, 51, 51));
    button->setTitleColor(QColor(150, 150, 150), ui::Control::Highlighted);
    button->titleLabel()->setFont(ui::Font::systemFontOfSize(15));
    button->setBackgroundColor(Qt::white);
    button->setCornerRadius(4);
    button->setContentHorizontalAlignment(ui::Control::ContentHorizontalAlignment::Left);
    button->setContentEdgeInsets(QMarginsF(14, 0, 0, 0));
    button->addTarget(
        parent, [action](ui::Control* sender) { action(static_cast<ui::Button*>(sender)); },
        ui::Control::TouchUpInside);
    return button;
}

} // namespace OperatorPages
