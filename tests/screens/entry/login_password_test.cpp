#include "app/core/EncryptedPhoneNumber.h"
#include "app/core/PublicFunction.h"
#include "screens/entry/LoginViewController.h"
#include "screens/entry/PasswordModificationViewController.h"
#include "platform/ui/Button.h"
#include "tests/screens/entry/login_harness.h"

#include <QLineEdit>
#include <QTest>

namespace {

using login_test::LoginHarness;

const QString kNumber = SandboxFixture::demoNumber();
const QString kOld = SandboxFixture::demoPassword();
const QString kNew = QStringLiteral("654321");

QString stored(const char* key) {
    return PublicFunction::getConfigWithKey(key).toString();
}

void tap(ui::Button* button) {
    button->sendActionsForControlEvents(ui::Control::TouchUpInside);
}

class PasswordChangeTest : public LoginHarness {
protected:
    // A signed-in subscriber on the password screen.
    void open(bool keepPassword) {
        PublicFunction::saveConfig(sandbox.signIn(), "session");
        PublicFunction::saveConfig(kNumber, "username");
        PublicFunction::saveConfig(keepPassword ? kOld : QString(""), "password");
        tavrixConfig::setIsSavePwd(keepPassword);
        show(new ui::ViewController);
        screen = static_cast<PasswordModificationViewController*>(
            ui::Storyboard::instantiateViewController("Main",
                                                      "PasswordModificationViewController"));
        nav->pushViewController(screen, false);
    }

    void fill(const QString& old, const QString& fresh, const QString& confirm) {
        screen->oldPassword()->setText(old);
        screen->freshPassword()->setText(fresh);
        screen->confirmFreshPassword()->setText(confirm);
    }

    // Logs in on a new log-in screen; answers whether the drawer opened.
    bool logInWith(const QString& password) {
        restartWindowKeepingStore();
        show(new ui::ViewController);
        auto* login = static_cast<LoginViewController*>(
            ui::Storyboard::instantiateViewController("Main", "LoginViewController"));
        nav->pushViewController(login, false);
        login->userName()->setText(kNumber);
        login->passWord()->setText(password);
        const int before = sandbox.requestsTo("Login").size();
        tap(login->loginButton());
        login_test::waitUntil([&] {
            return sandbox.requestsTo("Login").size() > before &&
                   (topScene() == login_test::kMainScene || ui::AlertCenter::topAlert());
        });
        return topScene() == login_test::kMainScene;
    }

    void restartWindowKeepingStore() {
        ui::AlertCenter::dismissAll();
        window.reset();
        login_test::settle();
    }

    QPointer<PasswordModificationViewController> screen;
};

TEST_F(PasswordChangeTest, ChangedPasswordReplacesTheOldOneEverywhere) {
    for (const bool keep : {true, false}) {
        SCOPED_TRACE(keep ? "password kept" : "password not kept");
        restart();
        sandbox.server().backend().subscribers().setPassword(kNumber, kOld);
        open(keep);
        fill(kOld, kNew, kNew);
        tap(screen->confirmButton());
        ASSERT_TRUE(login_test::waitUntil([] { return ui::AlertCenter::topAlert() != nullptr; }));
        EXPECT_EQ(topAlertMessage(), QString::fromUtf8("修改密码成功"));

        const auto sent = sandbox.requestsTo("ChangePassword");
        ASSERT_EQ(sent.size(), 1);
        QStringList keys;
        for (const auto& item : sent[0].fields.items())
            keys << item.first;
        EXPECT_EQ(keys, QStringList({"session", "num", "nonce", "enc_phonenum", "enc_oldpassword",
                                     "enc_newpassword"}));
        const EncryptedPhoneNumber key(EncryptedPhoneNumber::requestKeyPrefix(),
                                       sent[0].fields.value("nonce"));
        EXPECT_EQ(key.decrypt(sent[0].fields.value("enc_phonenum")), kNumber);
        EXPECT_EQ(key.decrypt(sent[0].fields.value("enc_oldpassword")), kOld);
        EXPECT_EQ(key.decrypt(sent[0].fields.value("enc_newpassword")), kNew);

        EXPECT_EQ(stored("password"), keep ? kNew : "");
        EXPECT_TRUE(ui::AlertCenter::press(QString::fromUtf8("确认")));
        login_test::settle();
        EXPECT_EQ(nav->viewControllers().size(), 1); // the screen went back

        EXPECT_FALSE(logInWith(kOld));
        EXPECT_EQ(topAlertMessage(), QString::fromUtf8("手机号或密码输入错误"));
        EXPECT_TRUE(logInWith(kNew));
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
        {"new passwords differ", kOld, kNew, "654320", "两次新密码输入不一样", false},
        // Only the old password's length is checked here; the server refuses the empty one.
        {"both new empty", kOld, "", "", "新密码必须为6位", true},
        {"wrong old password", "000000", kNew, kNew, "旧密码错误", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        restart();
        open(true);
        fill(c.old, c.fresh, c.confirm);
        tap(screen->confirmButton());
        ASSERT_TRUE(login_test::waitUntil([] { return ui::AlertCenter::topAlert() != nullptr; }));
        EXPECT_EQ(topAlertMessage(), c.alert);
        EXPECT_EQ(ui::AlertCenter::topAlert()->title(), "");
        EXPECT_EQ(sandbox.requestsTo("ChangePassword").size(), c.sent ? 1 : 0);
        EXPECT_EQ(stored("password"), kOld);
        ui::AlertCenter::press(0);
        login_test::settle();
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
