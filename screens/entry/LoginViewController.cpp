#include "screens/entry/LoginViewController.h"

#include "app/core/AlertTexts.h"
#include "app/core/BFHudUtils.h"
#include "app/core/HTTPRequest.h"
#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/View.h"
#include "platform/ui/WebView.h"
#include "platform/ui/Window.h"
#include "screens/entry/LoginExchange.h"
#include "screens/shell/TavrixApplicationSpecific.h"
#include "widgets/OverlayHUD.h"

namespace {

const QString kFirstLoadKey = QStringLiteral("TAVRIX_FIRSTLOAD");
const QString kServerTrouble = QStringLiteral("服务器异常，请稍候重试");

// The scene's layout, in points of the view below the navigation bar.
struct Layout {
    static constexpr QRectF userName{20, 30, 280, 44};
    static constexpr QRectF passWord{20, 84, 280, 44};
    static constexpr QRectF saveBox{20, 140, 120, 28};
    static constexpr QRectF autoBox{180, 140, 120, 28};
    static constexpr QRectF login{20, 186, 280, 44};
    static constexpr QRectF forgot{200, 242, 100, 28};
};

ui::TextField* makeField(const QRectF& frame, int tag, const QString& placeholder,
                         const QString& icon, ui::View* parent) {
    auto* field = new ui::TextField(frame, parent);
    field->setTag(tag);
    field->setPlaceholder(placeholder);
    field->setFont(ui::Font::systemFontOfSize(15));
    field->setBackgroundColor(Qt::white);
    field->setBorderStyle(ui::TextField::BorderStyle::RoundedRect);
    field->setClearButtonMode(ui::TextField::ViewMode::WhileEditing);
    auto* iconView = new ui::ImageView(QRectF(0, 0, 36, 20), field);
    iconView->setImage(ui::imageNamed(icon));
    iconView->setContentMode(ui::ContentMode::Center);
    field->setLeftView(iconView);
    field->setLeftViewMode(ui::TextField::ViewMode::Always);
    return field;
}

ui::Button* makeBox(const QRectF& frame, const QString& title, ui::View* parent) {
    auto* box = new ui::Button(frame, parent);
    box->setImage(ui::imageNamed("login_check_normal"), ui::Control::Normal);
    box->setImage(ui::imageNamed("login_check_selected"), ui::Control::Selected);
    box->setTitle(title);
    box->setTitleColor(QColor(80, 80, 80));
    box->titleLabel()->setFont(ui::Font::systemFontOfSize(14));
    box->setContentHorizontalAlignment(ui::Control::ContentHorizontalAlignment::Left);
    box->setTitleEdgeInsets(QMarginsF(8, 0, 0, 0));
    return box;
}

} // namespace

LoginViewController::LoginViewController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("登录"));
}

LoginViewController::~LoginViewController() = default;

HTTPRequest* LoginViewController::runningRequest() const {
    return m_request;
}

void LoginViewController::loadView() {
    ViewController::loadView();
    ui::View* root = view();
    m_userName = makeField(Layout::userName, kUserNameTag, QStringLiteral("请输入手机号码"),
                           "login_icon_phone", root);
    m_userName->setKeyboardType(ui::TextField::KeyboardType::NumberPad);
    m_userName->setDelegate(this);
    m_passWord = makeField(Layout::passWord, kPassWordTag, QStringLiteral("请输入服务密码"),
                           "login_icon_lock", root);
    m_passWord->setSecureTextEntry(true);
    m_passWord->setDelegate(this);

    m_saveAccountBox = makeBox(Layout::saveBox, QStringLiteral("记住密码"), root);
    m_saveAccountBox->addAction(ui::Control::TouchUpInside, [this] { savePwdPressed(); });
    m_autoLoginBox = makeBox(Layout::autoBox, QStringLiteral("自动登录"), root);
    m_autoLoginBox->addAction(ui::Control::TouchUpInside, [this] { autoLoginPressed(); });

    m_loginButton = new ui::Button(Layout::login, root);
    m_loginButton->setTitle(QStringLiteral("登录"));
    m_loginButton->setTitleColor(Qt::white);
    m_loginButton->titleLabel()->setFont(ui::Font::boldSystemFontOfSize(17));
    m_loginButton->setBackgroundColor(TavrixApplicationSpecific::tavrix_blueColor());
    m_loginButton->setCornerRadius(5);
    m_loginButton->addAction(ui::Control::TouchUpInside, [this] { loginPressed(); });

    m_buttonOfForgot = new ui::Button(Layout::forgot, root);
    m_buttonOfForgot->setTitle(QStringLiteral("忘记密码?"));
    m_buttonOfForgot->titleLabel()->setFont(ui::Font::systemFontOfSize(14));
    m_buttonOfForgot->setContentHorizontalAlignment(ui::Control::ContentHorizontalAlignment::Right);
    m_buttonOfForgot->addAction(ui::Control::TouchUpInside, [this] { forgetPwdPressed(); });
}

void LoginViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    setNavShowBack(false);
    m_isAutoLogin = false;
    m_isSavePwd = false;
    m_buttonOfForgot->setTitleColor(TavrixApplicationSpecific::tavrix_blueColor(),
                                    ui::Control::Normal);
    m_userName->setText(PublicFunction::getConfigWithKey("username").toString());
    setSavePwd(tavrixConfig::isSavePwd());
    if (m_isSavePwd) m_passWord->setText(PublicFunction::getConfigWithKey("password").toString());
    setAutoLogin(tavrixConfig::isAutoLogin());
    navigationItem()->setHidesBackButton(true);
    if (auto* nav = navigationController()) nav->setNavigationBarHidden(false);
}

void LoginViewController::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    if (PublicFunction::getConfigWithKey(kFirstLoadKey).isValid()) return;
    if (m_isAutoLogin) {
        setAutoLogin(false);
    } else {
        setAutoLogin(true);
        setSavePwd(true);
    }
    PublicFunction::saveConfig(QStringLiteral("Load_First_YES"), kFirstLoadKey);
}

void LoginViewController::setAutoLogin(bool on) {
    m_isAutoLogin = on;
    if (m_autoLoginBox) m_autoLoginBox->setSelected(on);
}

void LoginViewController::setSavePwd(bool on) {
    m_isSavePwd = on;
    if (m_saveAccountBox) m_saveAccountBox->setSelected(on);
}

void LoginViewController::autoLoginPressed() {
    if (m_isAutoLogin) {
        setAutoLogin(false);
    } else {
        setAutoLogin(true);
        setSavePwd(true); // logging in by itself needs the password kept
    }
}

void LoginViewController::savePwdPressed() {
    if (m_isSavePwd) {
        setSavePwd(false);
        setAutoLogin(false);
    } else {
        setSavePwd(true);
    }
}

void LoginViewController::showInputAlert(const QString& message) {
    auto* alert = new ui::AlertView(QStringLiteral(""), message, nullptr, QStringLiteral("关闭"));
    alert->show();
}

void LoginViewController::loginPressed() {
    hideKeyboard();
    // One log-in at a time: further taps while it runs are ignored.
    if (m_request && m_request->isRunning()) return;
    const QString number = m_userName->text().trimmed();
    if (number.isEmpty()) {
        showInputAlert(QStringLiteral("请输入手机号码"));
        return;
    }
    if (number.size() <= 10) {
        showInputAlert(QStringLiteral("请输入正确的手机号码"));
        return;
    }
    if (m_passWord->text().trimmed().size() <= 5) {
        showInputAlert(QStringLiteral("请输入正确的服务密码"));
        return;
    }
    requestOfLoginSend();
}

void LoginViewController::requestOfLoginSend() {
    setBaseHud(BFHudUtils::login(view(), this));
    HTTPRequest* request =
        LoginExchange::loginRequest(this, m_userName->text(), m_passWord->text());
    request->setCompletionHandler([this](const QVariant& reply) { handleReply(reply); });
    m_request = request;
    request->startRequest();
}

void LoginViewController::handleReply(const QVariant& reply) {
    if (OverlayHUD* hud = baseHud()) hud->hide(true);
    const LoginExchange judged(reply);
    if (!judged.hasReply()) {
        BFHudUtils::showText(kServerTrouble, view(), this);
        return;
    }
    if (judged.result() == LoginExchange::kWrongNumberOrPassword) {
        PublicFunction::showAlert(AlertTexts::title(), QStringLiteral("手机号或密码输入错误"));
        return;
    }
    if (!judged.isSuccess()) {
        // Any other refusal (9999 included: there is no session to expire yet), or a success
        // that brought no session.
        const QString msg = judged.result() == 0 ? QString() : judged.msg();
        BFHudUtils::showText(msg.isEmpty() ? kServerTrouble : msg, view(), this);
        return;
    }
    BFHudUtils::showText(QStringLiteral("登录成功"), view(), this);
    PublicFunction::saveConfig(judged.session(), "session");
    LoginExchange::keepNumber(m_userName->text());
    PublicFunction::saveConfig(
        m_isSavePwd || m_isAutoLogin ? m_passWord->text() : QStringLiteral(""), "password");
    tavrixConfig::setIsAutoLogin(m_isAutoLogin);
    tavrixConfig::setIsSavePwd(m_isSavePwd);
    if (auto* nav = navigationController()) nav->setNavigationBarHidden(true);
    openMainContainer();
}

void LoginViewController::openMainContainer() {
    // A page of the previous subscriber may still be alive below this screen: no cookie of
    // it reaches the new shell's pages.
    ui::WebView::deleteAllCookies();
    const QString segueName = QStringLiteral("LoginViewToSkatingRink");
    auto* nav = navigationController();
    const auto segue = ui::Storyboard::segueFor(this, segueName);
    if (!nav || !segue) {
        performSegueWithIdentifier(segueName, this);
        return;
    }
    ui::ViewController* main = ui::Storyboard::instantiateViewController(
        segue->destinationStoryboard, segue->destinationIdentifier);
    if (!main) return;
    ui::StoryboardSegue performed(segueName, segue->kind, this, main);
    prepareForSegue(&performed, this);
    // The new container replaces everything above the start-up screen: a container (with its
    // timers and observers) left below would live on unseen, and every session expiry would
    // stack another one.
    QList<ui::ViewController*> stack;
    const QList<ui::ViewController*> old = nav->viewControllers();
    if (!old.isEmpty() && old.first() != this) stack.append(old.first());
    stack.append(main);
    nav->setViewControllers(stack, true);
}

void LoginViewController::forgetPwdPressed() {
    sendSMS(QStringLiteral("2010"), this);
}

void LoginViewController::sendSMS(const QString& body, ViewController* inViewController) {
    if (!ui::MessageComposeViewController::canSendText() || !inViewController) return;
    auto* composer = new ui::MessageComposeViewController;
    composer->setMessageComposeDelegate(this);
    composer->setBody(body);
    composer->setRecipients({QStringLiteral("16540")});
    m_smsPresenter = inViewController;
    inViewController->presentViewController(composer, true);
}

void LoginViewController::messageComposeViewController(ui::MessageComposeViewController* controller,
                                                       ui::MessageComposeResult) {
    if (m_smsPresenter)
        m_smsPresenter->dismissViewControllerAnimated(true);
    else
        controller->dismissViewControllerAnimated(true);
}

bool LoginViewController::textFieldShouldBeginEditing(ui::TextField* field) {
    textFieldShouldBeginEditingBase(field);
    return true;
}

bool LoginViewController::textField(ui::TextField* field, ui::TextRange range,
                                    const QString& replacement) {
    const qsizetype length = field->text().size() - range.length + replacement.size();
    if (field->tag() == kUserNameTag) return length < 12;
    if (field->tag() == kPassWordTag) return length < 7;
    return true;
}

TAVRIX_REGISTER_SCENE("Main", "LoginViewController", LoginViewController);
TAVRIX_REGISTER_SEGUE("LoginViewController", "LoginViewToSkatingRink", Push, "Main",
                      "SkatingRinkViewController");
