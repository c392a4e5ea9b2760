#include "app/core/EncryptedPhoneNumber.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/UrlOpener.h"
#include "platform/ui/MessageComposeViewController.h"
#include "platform/ui/WebViewFake.h"
#include "screens/entry/LoginViewController.h"
#include "screens/entry/PasswordModificationViewController.h"
#include "tests/screens/entry/login_harness.h"
#include "widgets/OverlayHUD.h"

#include <QFile>
#include <QLineEdit>
#include <QTest>

namespace {

using namespace login_test;
using sandbox::Fault;

const QString kNumber = SandboxFixture::demoNumber();
const QString kPassword = SandboxFixture::demoPassword();
const QString kNew = QStringLiteral("654321");

class LoginScreenTest : public LoginHarness {
protected:
    // The log-in screen pushed over a start screen, as the router leaves it.
    void open() { login = showOverStart<LoginViewController>("LoginViewController"); }

    void fill(const QString& number, const QString& password) {
        login->userName()->setText(number);
        login->passWord()->setText(password);
    }

    QString overlayText() {
        OverlayHUD* hud = OverlayHUD::HUDForView(login->view());
        return hud ? hud->detailsLabelText() : QString();
    }

    bool waitForLoginEnd() {
        return waitUntil([&] { return !login || !login->runningRequest(); });
    }

    QPointer<LoginViewController> login;
};

TEST_F(LoginScreenTest, InputIsCheckedBeforeAnyRequest) {
    const struct {
        QString number;
        QString password;
        QString alert; // empty: the request goes out
    } cases[] = {
        {"", "123456", "请输入手机号码"},
        {"   ", "123456", "请输入手机号码"},
        {"1380000000", "123456", "请输入正确的手机号码"},
        {" 1380000000 ", "123456", "请输入正确的手机号码"},
        {"13800000001", "12345", "请输入正确的服务密码"},
        {"13800000001", " 12345 ", "请输入正确的服务密码"},
        {"13800000001", "", "请输入正确的服务密码"},
        {"13800000001", "999999", ""},
    };
    open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number.toStdString() + " / " + c.password.toStdString());
        sandbox.clearRequests();
        fill(c.number, c.password);
        tap(login->loginButton());
        if (c.alert.isEmpty()) {
            EXPECT_EQ(ui::AlertCenter::visibleAlerts().size(), 0);
            EXPECT_TRUE(sandbox.waitForRequests(1));
            ASSERT_TRUE(waitForLoginEnd());
            ui::AlertCenter::dismissAll();
            continue;
        }
        ASSERT_EQ(ui::AlertCenter::visibleAlerts().size(), 1);
        ui::AlertView* alert = ui::AlertCenter::topAlert();
        EXPECT_EQ(alert->title(), "");
        EXPECT_EQ(alert->message(), c.alert);
        EXPECT_EQ(alert->numberOfButtons(), 1);
        EXPECT_EQ(alert->buttonTitleAtIndex(0), QString::fromUtf8("关闭"));
        EXPECT_TRUE(ui::AlertCenter::press(0));
        settle();
        EXPECT_EQ(sandbox.requests().size(), 0);
    }
}

TEST_F(LoginScreenTest, TypingStopsAtElevenDigitsAndSixPasswordCharacters) {
    open();
    ASSERT_TRUE(login->userName()->becomeFirstResponder());
    QTest::keyClicks(login->userName()->lineEdit(), "138000000012");
    ASSERT_TRUE(login->passWord()->becomeFirstResponder());
    QTest::keyClicks(login->passWord()->lineEdit(), "1234567");
    EXPECT_EQ(login->userName()->text(), "13800000001");
    EXPECT_EQ(login->passWord()->text(), "123456");
    // Replacing within a full field is judged on the resulting length.
    EXPECT_TRUE(login->textField(login->userName(), {0, 1}, "9"));
    EXPECT_FALSE(login->textField(login->userName(), {0, 0}, "9"));
    EXPECT_TRUE(login->textField(login->passWord(), {5, 1}, ""));
}

TEST_F(LoginScreenTest, SuccessSendsTheFieldsInOrderAndKeepsThePasswordOnlyWhenAsked) {
    // Blanks around the number pass the check and go out as typed.
    const QString typed = " " + kNumber + " ";
    const struct {
        bool save;
        bool autoLogin;
        QString kept;
    } cases[] = {{false, false, ""}, {true, false, kPassword}, {true, true, kPassword}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "save " << c.save << " auto " << c.autoLogin);
        restart();
        PublicFunction::saveConfig("Load_First_YES", "TAVRIX_FIRSTLOAD");
        PublicFunction::saveConfig("previous", "session");
        open();
        if (c.autoLogin)
            tap(login->autoLoginBox());
        else if (c.save)
            tap(login->saveAccountBox());
        fill(typed, kPassword);
        tap(login->loginButton());
        ASSERT_TRUE(waitForTop(kMainScene));

        const auto sent = sandbox.requestsTo("Login");
        ASSERT_EQ(sent.size(), 1);
        EXPECT_EQ(sent[0].fields, loginFields(typed, kPassword, "previous"));
        EXPECT_EQ(stored("username"), typed);
        EXPECT_NE(stored("session"), "previous");
        EXPECT_TRUE(PublicFunction::getConfigWithKey("password").isValid());
        EXPECT_EQ(stored("password"), c.kept);
        EXPECT_EQ(tavrixConfig::isSavePwd(), c.save);
        EXPECT_EQ(tavrixConfig::isAutoLogin(), c.autoLogin);
        EXPECT_TRUE(nav->isNavigationBarHidden());
        // The settings file holds the password: owner-only.
        const QFile file(ns::UserDefaults::standardUserDefaults().path());
        EXPECT_EQ(file.permissions() &
                      ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
                  QFile::Permissions());
    }
}

TEST_F(LoginScreenTest, SuccessReplacesTheScreensAboveTheStartScreen) {
    ui::WebViewFake::ScopedInstall countsCookieDeletions;
    open();
    // An earlier session's container and the log-in screen it brought up on expiry.
    QPointer<ui::ViewController> oldMain =
        ui::Storyboard::instantiateViewController("Main", kMainScene);
    QPointer<ui::ViewController> root = nav->viewControllers().first();
    nav->setViewControllers({root, oldMain, login});
    // No cookie of the earlier subscriber's pages is left when the new shell is built.
    int cookieDeletionsWhenBuilt = -1;
    ui::Storyboard::registerScene("Main", kMainScene, [&] {
        cookieDeletionsWhenBuilt = ui::WebViewFake::cookieDeletions();
        return new ui::ViewController;
    });
    fill(kNumber, kPassword);
    tap(login->loginButton());
    ASSERT_TRUE(waitForTop(kMainScene) && top() != oldMain);
    EXPECT_EQ(cookieDeletionsWhenBuilt, 1);
    settle();
    const auto stack = nav->viewControllers();
    ASSERT_EQ(stack.size(), 2);
    EXPECT_EQ(stack[0], root);
    EXPECT_TRUE(oldMain.isNull());
    EXPECT_TRUE(login.isNull());
}

TEST_F(LoginScreenTest, RepeatedTapsSendOneRequest) {
    ns::ScopedManualClock clock;
    sandbox.setFault("Login", Fault::delay(1000));
    open();
    fill(kNumber, kPassword);
    for (int i = 0; i < 3; ++i)
        tap(login->loginButton());
    ASSERT_TRUE(sandbox.waitForRequests(1));
    settle();
    tap(login->loginButton());
    clock.clock.advance(1000);
    ASSERT_TRUE(waitForTop(kMainScene));
    EXPECT_EQ(sandbox.requestsTo("Login").size(), 1);
}

TEST_F(LoginScreenTest, RefusalsAndBrokenRepliesLeaveTheStoreAlone) {
    const QString trouble = QString::fromUtf8("服务器异常，请稍候重试");
    const struct {
        const char* what;
        std::optional<Fault> fault;
        QString password;
        QString alert;   // an alert's message, or
        QString overlay; // a text overlay's
    } cases[] = {
        {"wrong password", {}, "999999", "手机号或密码输入错误", ""},
        {"expired session is only a message", Fault::result(9999, "会话过期"), kPassword, "",
         "会话过期"},
        {"other result", Fault::result(7, "系统维护中"), kPassword, "", "系统维护中"},
        {"empty body", Fault::emptyBody(), kPassword, "", trouble},
        {"HTML page", Fault::html500(), kPassword, "", trouble},
        {"array", Fault::jsonArray(), kPassword, "", trouble},
        {"success without a session", Fault::result(0, "ok"), kPassword, "", trouble},
        {"dropped connection", Fault::drop(), kPassword, "网络连接失败,请检查您的网络设置", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        restart();
        PublicFunction::saveConfig("13900000000", "username");
        PublicFunction::saveConfig("S0", "session");
        if (c.fault) sandbox.setFault("Login", *c.fault);
        open();
        fill(kNumber, c.password);
        tap(login->loginButton());
        ASSERT_TRUE(sandbox.waitForRequests(1));
        ASSERT_TRUE(waitForLoginEnd());
        settle();
        EXPECT_EQ(top(), login.data());
        EXPECT_EQ(topAlertMessage(), c.alert);
        if (!c.overlay.isEmpty()) {
            EXPECT_EQ(overlayText(), c.overlay);
        }
        EXPECT_EQ(stored("username"), "13900000000");
        EXPECT_EQ(stored("session"), "S0");
        EXPECT_FALSE(PublicFunction::getConfigWithKey("password").isValid());
    }
}

TEST_F(LoginScreenTest, BoxesFollowEachOther) {
    PublicFunction::saveConfig("Load_First_YES", "TAVRIX_FIRSTLOAD");
    const struct {
        const char* presses; // a: automatic log-in, s: save password
        bool autoLogin;
        bool save;
    } cases[] = {
        {"", false, false},   {"a", true, true},   {"s", false, true},
        {"as", false, false}, {"aa", false, true}, {"sa", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.presses);
        closeWindow();
        open();
        for (const char* p = c.presses; *p; ++p)
            tap(*p == 'a' ? login->autoLoginBox() : login->saveAccountBox());
        EXPECT_EQ(login->isAutoLogin(), c.autoLogin);
        EXPECT_EQ(login->isSavePwd(), c.save);
        EXPECT_EQ(login->autoLoginBox()->isSelected(), c.autoLogin);
        EXPECT_EQ(login->saveAccountBox()->isSelected(), c.save);
        // Nothing is stored before a successful log-in.
        EXPECT_FALSE(tavrixConfig::isAutoLogin());
        EXPECT_FALSE(tavrixConfig::isSavePwd());
    }
}

TEST_F(LoginScreenTest, FirstAppearanceTurnsTheBoxesOnOnce) {
    open();
    EXPECT_TRUE(login->isAutoLogin());
    EXPECT_TRUE(login->isSavePwd());
    EXPECT_EQ(stored("TAVRIX_FIRSTLOAD"), "Load_First_YES");

    // A stored automatic log-in without the first-run mark is switched off instead.
    restart();
    tavrixConfig::setIsAutoLogin(true);
    tavrixConfig::setIsSavePwd(true);
    PublicFunction::saveConfig(kNumber, "username");
    PublicFunction::saveConfig(kPassword, "password");
    open();
    EXPECT_FALSE(login->isAutoLogin());
    EXPECT_TRUE(login->isSavePwd());
    EXPECT_EQ(login->userName()->text(), kNumber);
    EXPECT_EQ(login->passWord()->text(), kPassword);

    // Later appearances leave the boxes as they are.
    tap(login->autoLoginBox());
    nav->pushViewController(new ui::ViewController, false);
    nav->popViewControllerAnimated(false);
    EXPECT_TRUE(login->isAutoLogin());
}

TEST_F(LoginScreenTest, ForgotPasswordPreparesTheReminderSms) {
    open();
    ui::MessageComposeViewController::resetComposedRecord();
    // Where the desktop has no handler for sms: links, the link does nothing.
    ui::MessageComposeViewController::setCanSendText(std::nullopt);
    bool desktopTexts = false;
    ns::UrlOpener::setCanOpenHandler(
        [&](const QUrl& url) { return url.scheme() == "sms" && desktopTexts; });
    tap(login->buttonOfForgot());
    EXPECT_EQ(ui::MessageComposeViewController::composedCount(), 0);
    EXPECT_EQ(login->presentedViewController(), nullptr);

    desktopTexts = true;
    tap(login->buttonOfForgot());
    ns::UrlOpener::setCanOpenHandler({});
    ui::MessageComposeViewController::setCanSendText(true);
    auto* composer =
        qobject_cast<ui::MessageComposeViewController*>(login->presentedViewController());
    ASSERT_NE(composer, nullptr);
    EXPECT_EQ(composer->body(), "2010");
    EXPECT_EQ(composer->recipients(), QStringList({"16540"}));
    EXPECT_EQ(ui::MessageComposeViewController::lastComposed().body, "2010");
    composer->cancel();
    settle();
    EXPECT_EQ(login->presentedViewController(), nullptr);
}

class PasswordChangeTest : public LoginHarness {
protected:
    // A signed-in subscriber on the password screen.
    void open(bool keepPassword) {
        PublicFunction::saveConfig(sandbox.signIn(), "session");
        PublicFunction::saveConfig(kNumber, "username");
        PublicFunction::saveConfig(keepPassword ? kPassword : QString(""), "password");
        tavrixConfig::setIsSavePwd(keepPassword);
        screen =
            showOverStart<PasswordModificationViewController>("PasswordModificationViewController");
    }

    void fill(const QString& old, const QString& fresh, const QString& confirm) {
        screen->oldPassword()->setText(old);
        screen->freshPassword()->setText(fresh);
        screen->confirmFreshPassword()->setText(confirm);
    }

    // Logs in on a new log-in screen; answers whether the drawer opened.
    bool logInWith(const QString& password) {
        closeWindow();
        auto* login = showOverStart<LoginViewController>("LoginViewController");
        login->userName()->setText(kNumber);
        login->passWord()->setText(password);
        const int before = sandbox.requestsTo("Login").size();
        tap(login->loginButton());
        waitUntil([&] {
            return sandbox.requestsTo("Login").size() > before &&
                   (topScene() == kMainScene || ui::AlertCenter::topAlert());
        });
        return topScene() == kMainScene;
    }

    QPointer<PasswordModificationViewController> screen;
};

TEST_F(PasswordChangeTest, ChangedPasswordReplacesTheOldOneEverywhere) {
    for (const bool keep : {true, false}) {
        SCOPED_TRACE(keep ? "password kept" : "password not kept");
        restart();
        sandbox.server().backend().subscribers().setPassword(kNumber, kPassword);
        open(keep);
        fill(kPassword, kNew, kNew);
        tap(screen->confirmButton());
        ASSERT_TRUE(waitForAlert());
        EXPECT_EQ(topAlertMessage(), QString::fromUtf8("修改密码成功"));

        const auto sent = sandbox.requestsTo("ChangePassword");
        ASSERT_EQ(sent.size(), 1);
        EXPECT_EQ(fieldKeys(sent[0]), QStringList({"session", "num", "nonce", "enc_phonenum",
                                                   "enc_oldpassword", "enc_newpassword"}));
        const EncryptedPhoneNumber key(EncryptedPhoneNumber::requestKeyPrefix(),
                                       sent[0].fields.value("nonce"));
        EXPECT_EQ(key.decrypt(sent[0].fields.value("enc_phonenum")), kNumber);
        EXPECT_EQ(key.decrypt(sent[0].fields.value("enc_oldpassword")), kPassword);
        EXPECT_EQ(key.decrypt(sent[0].fields.value("enc_newpassword")), kNew);

        EXPECT_EQ(stored("password"), keep ? kNew : "");
        EXPECT_TRUE(ui::AlertCenter::press(QString::fromUtf8("确认")));
        settle();
        EXPECT_EQ(nav->viewControllers().size(), 1); // the screen went back

        EXPECT_FALSE(logInWith(kPassword));
        EXPECT_EQ(topAlertMessage(), QString::fromUtf8("手机号或密码输入错误"));
        EXPECT_TRUE(logInWith(kNew));
    }
}

// A screen that goes while its request runs takes the request along: the answer, arriving
// later, reaches nothing (no alert, no screen opened, nothing freed touched).
TEST_F(PasswordChangeTest, AnAnswerAfterTheScreenWentReachesNothing) {
    const struct {
        const char* interface;
        std::function<ui::ViewController*()> start; // opens the screen and sends
    } cases[] = {
        {"ChangePassword",
         [&]() -> ui::ViewController* {
             open(true);
             fill(kPassword, kNew, kNew);
             tap(screen->confirmButton());
             return screen;
         }},
        {"Login",
         [&]() -> ui::ViewController* {
             auto* login = showOverStart<LoginViewController>("LoginViewController");
             login->userName()->setText(kNumber);
             login->passWord()->setText(kPassword);
             tap(login->loginButton());
             return login;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.interface);
        restart();
        ns::ScopedManualClock clock;
        sandbox.setFault(c.interface, Fault::delay(1000));
        QPointer<ui::ViewController> gone = c.start();
        ASSERT_TRUE(sandbox.waitForRequests(1));
        nav->popViewControllerAnimated(false);
        settle();
        ASSERT_TRUE(gone.isNull());
        clock.clock.advance(1000);
        // An answer that still found a listener would show at once: give it the chance.
        EXPECT_FALSE(waitUntil([] { return ui::AlertCenter::topAlert() != nullptr; }, 300));
        EXPECT_EQ(nav->viewControllers().size(), 1);
        EXPECT_EQ(sandbox.requestsTo(c.interface).size(), 1);
    }
}

TEST_F(PasswordChangeTest, InputChecks) {
    const struct {
        const char* what;
        QString old, fresh, confirm;
        QString alert;
        bool sent;
    } cases[] = {
        {"short old password", "12345", kNew, kNew, "旧密码位数不正确", false},
        {"long old password", "1234567", kNew, kNew, "旧密码位数不正确", false},
        {"new passwords differ", kPassword, kNew, "654320", "两次新密码输入不一样", false},
        // Only the old password's length is checked here; the server refuses the empty one.
        {"both new empty", kPassword, "", "", "新密码必须为6位", true},
        {"wrong old password", "000000", kNew, kNew, "旧密码错误", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        restart();
        open(true);
        fill(c.old, c.fresh, c.confirm);
        tap(screen->confirmButton());
        ASSERT_TRUE(waitForAlert());
        EXPECT_EQ(topAlertMessage(), c.alert);
        EXPECT_EQ(ui::AlertCenter::topAlert()->title(), "");
        EXPECT_EQ(sandbox.requestsTo("ChangePassword").size(), c.sent ? 1 : 0);
        EXPECT_EQ(stored("password"), kPassword);
        ui::AlertCenter::press(0);
        settle();
        EXPECT_EQ(top(), screen.data());
        if (c.alert == QString::fromUtf8("旧密码位数不正确")) {
            EXPECT_TRUE(screen->oldPassword()->isFirstResponder());
        }
    }
}

TEST_F(PasswordChangeTest, FullFieldRefusesTypingButNotDeleting) {
    open(true);
    ASSERT_TRUE(screen->freshPassword()->becomeFirstResponder());
    QTest::keyClicks(screen->freshPassword()->lineEdit(), "1234567");
    EXPECT_EQ(screen->freshPassword()->text(), "123456");
    QTest::keyClick(screen->freshPassword()->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(screen->freshPassword()->text(), "12345");
}

} // namespace
