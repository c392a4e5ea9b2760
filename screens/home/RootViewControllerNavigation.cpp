// Where the home page leads: drawer-menu functions, data-usage buttons, web pages.
#include "app/core/EncryptedPhoneNumber.h"
#include "app/core/NotificationNames.h"
#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "screens/home/RootViewController.h"
#include "screens/web/WebViewController.h"

#include <QUrl>

namespace {

QString encoded(const QString& value) {
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

} // namespace

QString RootViewController::dataWalletAddress(const QString& base, const QString& num,
                                              const QString& session, const QString& nonce,
                                              const QString& encpn) {
    return base +
           QStringLiteral("ulvek/chongdingxiang/index.html?pid=3&v=7&cf=1001&num=%1&session=%2"
                          "&nonce=%3&encpn=%4")
               .arg(encoded(num), encoded(session), encoded(nonce), encoded(encpn));
}

QString RootViewController::readingAddress(const QString& base, const QString& num,
                                           const QString& session) {
    return base + QStringLiteral("ulvek/handle.html?num=%1&session=%2&marketid=2010020140101001"
                                 "&type=3")
                      .arg(encoded(num), encoded(session));
}

QString RootViewController::campaignAddress() {
    // A partner's campaign server; every value is fixed.
    return QStringLiteral("http://act.tavrix-partner.example/7716/mobile?cf=1001"
                          "&nonce=73mwQaZe5190b2Kd&encpn=b71f0c94e2a3d58607c1e9fa24d3b856"
                          "&session=H8QW2RTX57KPB3NV9DMC4JZA");
}

void RootViewController::slideButtonPressed(QObject*) {
    ns::NotificationCenter::defaultCenter().postNotificationName(notification::kShowSideSlipView);
}

void RootViewController::buttonPressed(ui::Button* sender) {
    if (!sender) return;
    switch (sender->tag()) {
    case 1007:
        pushInitialScene(QStringLiteral("Flow"), true);
        break;
    case 1002: {
        ui::ViewController* screen = ui::Storyboard::instantiateViewController(
            QStringLiteral("Flow"), QStringLiteral("FlowSuitChangeController"));
        if (!screen) return;
        // Add-on pack ordering, for a screen that takes a mode.
        if (screen->metaObject()->indexOfProperty("dataType") >= 0)
            screen->setProperty("dataType", QStringLiteral("2"));
        push(screen, true);
        break;
    }
    default:
        break;
    }
}

void RootViewController::sideSlipButtonPressedWith(const ns::Notification& notification) {
    const auto* button = qobject_cast<const ui::View*>(notification.object);
    if (button) sideSlipButtonPressed(button->tag());
}

void RootViewController::sideSlipButtonPressed(int tag) {
    switch (tag) {
    case 1001:
        performSegueWithIdentifier(QStringLiteral("RootViewToPackage"), nullptr);
        break;
    case 1002:
        pushInitialScene(QStringLiteral("Flow"), true);
        break;
    case 1003:
        performSegueWithIdentifier(QStringLiteral("RootViewToOrdered"), nullptr);
        break;
    case 1004:
        performSegueWithIdentifier(QStringLiteral("RootViewToTelBill"), nullptr);
        break;
    case 1005: {
        const QString num = PublicFunction::getConfigWithKey("username").toString();
        const EncryptedPhoneNumber key = EncryptedPhoneNumber::forWebPage();
        pushWebPage(dataWalletAddress(tavrixConfig::serverBaseAddress(), num,
                                      tavrixConfig::userSession(), key.nonce(), key.encrypt(num)),
                    QStringLiteral("流量钱包"));
        break;
    }
    case 1006:
        performSegueWithIdentifier(QStringLiteral("RootViewToRecharge"), nullptr);
        break;
    case 1008:
        performSegueWithIdentifier(QStringLiteral("RootViewToFeedback"), nullptr);
        break;
    case 1011:
        performSegueWithIdentifier(QStringLiteral("RootViewToSetting"), nullptr);
        break;
    default:
        break;
    }
}

void RootViewController::push(ui::ViewController* screen, bool hidesBottomBar) {
    if (!screen) return;
    screen->setHidesBottomBarWhenPushed(hidesBottomBar);
    if (ui::NavigationController* nav = navigationController())
        nav->pushViewController(screen, true);
    else
        ui::ViewController::releaseLater(screen);
}

void RootViewController::pushScene(const QString& storyboard, const QString& identifier,
                                   bool hidesBottomBar) {
    // A scene the server names but this client lacks is not an error: nothing opens. The
    // server is outside the client as a link is: it never opens the start-up screens or a
    // piece of the shell.
    if (storyboard.contains(QLatin1Char('&')) || identifier.contains(QLatin1Char('&'))) return;
    push(tavrixConfig::getViewControllerForOutsideRoute(storyboard + QLatin1Char('&') + identifier),
         hidesBottomBar);
}

void RootViewController::pushInitialScene(const QString& storyboard, bool hidesBottomBar) {
    push(ui::Storyboard::instantiateInitialViewController(storyboard), hidesBottomBar);
}

void RootViewController::pushWebPage(const QString& url, const QString& title) {
    ui::ViewController* screen = ui::Storyboard::instantiateViewController(
        QStringLiteral("Main"), QStringLiteral("WebViewController"));
    auto* page = qobject_cast<WebViewController*>(screen);
    if (!page) {
        if (screen) ui::ViewController::releaseLater(screen);
        return;
    }
    page->setRequestURL(url);
    page->setStrOfTitle(title);
    push(page, false);
}
