#include "tests/display/DisplaySession.h"

// The password change screen (opened by its link), filled by typing.
namespace {

const QPointF kOldField(205, 110);
const QPointF kNewField(205, 164);
const QPointF kConfirmField(205, 218);
const QPointF kConfirmButton(160, 282);
const QColor kBlue(70, 140, 202);

TEST_F(DisplayTest, ThePasswordChangeScreenIsFilledByTypingAndSent) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start({"kelvamor://Main&PasswordModificationViewController"}));
    ASSERT_TRUE(session.waitForPixel({40, 282}, kBlue));
    ASSERT_TRUE(session.waitForStillScreen());

    session.click(kOldField);
    session.type("123456");
    session.key("Tab"); // on to the new password
    session.type("654321");
    session.click(kConfirmField);
    session.type("654321");
    session.click(kConfirmButton);
    ASSERT_TRUE(session.waitForRequest("ChangePassword"));
    // Kept for the automatic log-in, the password follows the change once the server took it.
    EXPECT_TRUE(session.waitForDefault("password", "654321"));
}

TEST_F(DisplayTest, APasswordChangeWithTwoDifferentNewPasswordsIsNotSent) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start({"kelvamor://Main&PasswordModificationViewController"}));
    ASSERT_TRUE(session.waitForPixel({40, 282}, kBlue));
    ASSERT_TRUE(session.waitForStillScreen());
    session.click(kOldField);
    session.type("123456");
    session.click(kNewField);
    session.type("654321");
    session.click(kConfirmField);
    session.type("654322");
    session.key("Return");
    session.click(kConfirmButton);
    // "两次新密码输入不一样": dimmed behind its alert, nothing sent.
    EXPECT_TRUE(DisplaySession::waitFor([&] {
        return session.pixel({10, 500}).lightness() < 200;
    }));
    EXPECT_TRUE(session.requests("ChangePassword").isEmpty());
    EXPECT_EQ(session.defaults().value("password").toString(), "123456");
}

} // namespace
