#include "screens/entry/GuideViewController.h"

#include "app/core/EncryptedPhoneNumber.h"
#include "app/core/HTTPRequest.h"
#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/Storyboard.h"
#include "screens/entry/LoginExchange.h"
#include "screens/shell/TavrixApplicationSpecific.h"

namespace {
// The button sits on the last page.
constexpr QRectF kButtonFrame{640 + 95, 470, 130, 40};
} // namespace

GuideViewController::GuideViewController(QObject* parent) : ui::ViewController(parent) {}

GuideViewController::~GuideViewController() = default;

ui::ImageView* GuideViewController::guide(int index) const {
    return index >= 1 && index <= 4 ? m_guides[index - 1].data() : nullptr;
}

void GuideViewController::loadView() {
    ui::ViewController::loadView();
    const double height = ns::DeviceInfo::kScreenHeight;
    m_scrollView = new ui::ScrollView(QRectF(0, 0, 320, height), view());
    m_scrollView->setPagingEnabled(true);
    m_scrollView->setBounces(false);
    m_scrollView->setShowsHorizontalScrollIndicator(false);
    m_scrollView->setShowsVerticalScrollIndicator(false);
    for (int i = 0; i < 4; ++i)
        m_guides[i] = new ui::ImageView(QRectF(320.0 * i, 0, 320, height), m_scrollView);
    m_button = new ui::Button(kButtonFrame, m_scrollView);
    m_button->setTitle(QStringLiteral("立即体验"));
    m_button->setTitleColor(TavrixApplicationSpecific::tavrix_blueColor());
    m_button->titleLabel()->setFont(ui::Font::boldSystemFontOfSize(16));
    m_button->setBackgroundColor(Qt::white);
    m_button->setCornerRadius(20);
    m_button->addAction(ui::Control::TouchUpInside, [this] { buttonPressed(); });
}

void GuideViewController::viewDidLoad() {
    ui::ViewController::viewDidLoad();
    // Not exactly three pages wide, as the pictures were laid out.
    m_scrollView->setContentSize(QSizeF(960.1, m_scrollView->frame().height()));
    for (int i = 1; i <= 3; ++i)
        m_guides[i - 1]->setImage(ui::imageNamed(QStringLiteral("guideImage%1").arg(i)));
}

void GuideViewController::viewWillAppear(bool animated) {
    ui::ViewController::viewWillAppear(animated);
    if (auto* nav = navigationController()) nav->setNavigationBarHidden(true, true);
}

void GuideViewController::viewWillDisappear(bool animated) {
    ui::Application::sharedApplication().setStatusBarHidden(false, false);
    if (auto* nav = navigationController()) nav->setNavigationBarHidden(!m_isJumpToLogin, false);
    ui::ViewController::viewWillDisappear(animated);
}

void GuideViewController::buttonPressed() {
    tavrixConfig::setIsOpenGuideView(true);
    jumpToLogin();
}

void GuideViewController::jumpToLogin() {
    m_isJumpToLogin = true;
    if (auto* nav = navigationController())
        nav->pushViewController(
            ui::Storyboard::instantiateViewController("Main", "LoginViewController"), true);
}

void GuideViewController::jumpToMain() {
    m_isJumpToLogin = false;
    if (auto* nav = navigationController())
        nav->pushViewController(
            ui::Storyboard::instantiateViewController("Main", "SkatingRinkViewController"), true);
}

void GuideViewController::doLoginQtwap() {
    auto* request = HTTPRequest::requestWithURL(tavrixConfig::NSAPIURL("LoginQTWAP"), 30, this);
    request->setAtMostOnce(true); // a log-in, as on the start screen
    const EncryptedPhoneNumber key = EncryptedPhoneNumber::forRequest();
    LoginExchange::addGatewayFields(request, key);
    request->setCompletionHandler([this, key](const QVariant& reply) {
        if (LoginExchange::keepGatewayLogIn(reply, key))
            jumpToMain();
        else
            jumpToLogin(); // refused, or a number that cannot be read
    });
    request->setFailureHandler([this](const HTTPError&) { jumpToLogin(); });
    request->startRequest();
}

TAVRIX_REGISTER_SCENE("Main", "GuideViewController", GuideViewController);
