#include "screens/entry/DefaultVC.h"

#include "app/core/EncryptedPhoneNumber.h"
#include "app/core/HTTPRequest.h"
#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/ui/Application.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "screens/entry/LoginExchange.h"

#include <QRegularExpression>

DefaultVC::DefaultVC(QObject* parent) : ViewController(parent) {}

DefaultVC::~DefaultVC() = default;

HTTPRequest* DefaultVC::runningRequest() const {
    return m_request;
}

void DefaultVC::viewDidLoad() {
    ViewController::viewDidLoad();
    if (!PublicFunction::isIOS7OrLater())
        ui::Application::sharedApplication().setStatusBarHidden(false, false);
    setNavShowBack(false);

    // The window is always the tall screen: its splash fills it on every system (the shorter
    // screens' splash, lifted 20 points before system 7, has no window here).
    m_splash = new ui::ImageView(view());
    m_splash->setImage(ui::imageNamed("defaultIphone5"));
    m_splash->setFrame(QRectF(0, 0, 320, 568));
    m_splash->setBackgroundColor(Qt::red);

    m_hintLabel = new ui::Label(QRectF(0, 400, 320, 40), view());
    m_hintLabel->setText(QStringLiteral("启动中"));
    m_hintLabel->setTextAlignment(ui::TextAlignment::Center);
    m_hintLabel->setBackgroundColor(Qt::transparent);
    m_hintLabel->setTextColor(Qt::white);
    m_hintLabel->setFont(ui::Font::systemFontOfSize(12));

    PublicFunction::saveConfig(getMacAddress(), QStringLiteral("MacAddress"));
}

void DefaultVC::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    if (auto* nav = navigationController()) nav->setNavigationBarHidden(true, true);
    doRedirect();
}

void DefaultVC::viewWillDisappear(bool animated) {
    ui::Application::sharedApplication().setStatusBarHidden(false, false);
    if (auto* nav = navigationController()) nav->setNavigationBarHidden(!m_isJumpToLogin, false);
    ViewController::viewWillDisappear(animated);
}

void DefaultVC::doRedirect() {
    // A log-in already on its way decides where the user goes.
    if (m_request && m_request->isRunning()) return;
    if (!tavrixConfig::isOpenGuideView()) {
        if (auto* nav = navigationController())
            nav->pushViewController(
                ui::Storyboard::instantiateViewController("Main", "GuideViewController"), false);
        return;
    }
    if (!PublicFunction::IsEnableWIFI() && !PublicFunction::IsEnable3G()) {
        jumpToLogin();
    } else if (PublicFunction::IsEnable3G()) {
        doLoginQtwap();
    } else {
        doCommonLogin();
    }
}

void DefaultVC::doCommonLogin() {
    if (tavrixConfig::isAutoLogin())
        doLoginAuto();
    else
        jumpToLogin();
}

void DefaultVC::doLoginAuto() {
    if (m_hintLabel) m_hintLabel->setText(QStringLiteral("登录中..."));
    requestOfLoginSend();
}

void DefaultVC::requestOfLoginSend() {
    const QVariant number = PublicFunction::getConfigWithKey("username");
    HTTPRequest* request =
        LoginExchange::loginRequest(this, number, PublicFunction::getConfigWithKey("password"));
    request->setCompletionHandler([this, number](const QVariant& reply) {
        const LoginExchange judged(reply);
        if (!judged.isSuccess()) {
            jumpToLogin();
            return;
        }
        PublicFunction::saveConfig(judged.session(), "session");
        LoginExchange::keepNumber(number);
        m_hintLabel->setText(QStringLiteral("登录成功"));
        jumpToMain();
    });
    request->setFailureHandler([this](const HTTPError&) { jumpToLogin(); });
    m_request = request;
    request->startRequest();
}

void DefaultVC::doLoginQtwap() {
    HTTPRequest* request = requestStartWithKey("LoginQTWAP", false);
    const EncryptedPhoneNumber key = EncryptedPhoneNumber::forRequest();
    m_secretKey = key.keyString();
    LoginExchange::addGatewayFields(request, key);
    // The key travels with its own request, so a late reply is read under the right one.
    request->setCompletionHandler([this, key](const QVariant& reply) {
        if (LoginExchange::keepGatewayLogIn(reply, key))
            jumpToMain();
        else
            doCommonLogin(); // refused or unreadable: the Wi-Fi rule decides
    });
    request->setFailureHandler([this](const HTTPError&) { jumpToLogin(); });
    m_request = request;
    request->startRequest();
}

void DefaultVC::jumpToMain() {
    m_isJumpToLogin = false;
    if (auto* nav = navigationController())
        nav->pushViewController(
            ui::Storyboard::instantiateViewController("Main", "SkatingRinkViewController"), false);
}

void DefaultVC::jumpToLogin() {
    m_isJumpToLogin = true;
    if (auto* nav = navigationController())
        nav->pushViewController(
            ui::Storyboard::instantiateViewController("Main", "LoginViewController"), true);
}

QString DefaultVC::getMacAddress() {
    const QString address = ns::DeviceInfo::macAddress();
    static const QRegularExpression pairs(QStringLiteral("^([0-9A-Fa-f]{2}:){5}[0-9A-Fa-f]{2}$"));
    return pairs.match(address).hasMatch() ? address.toLower() : address;
}

TAVRIX_REGISTER_SCENE("Main", "DefaultVC", DefaultVC);
