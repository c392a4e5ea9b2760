#include "tests/display/DisplaySession.h"

namespace {

// Window points of the log-in screen (below its 64-point bar).
const QPointF kNumberField(160, 116);
const QPointF kPasswordField(160, 170);
const QPointF kLoginButton(160, 272);
const QPointF kAlertButton(160, 314);
const QPointF kBackground(10, 520);
const QColor kBlue(70, 140, 202); // the button, and a ticked box

class LoginDisplay : public DisplayTest {
protected:
    bool alertUp() {
        return DisplaySession::waitFor(
            [&] { return session.pixel(kBackground).lightness() < 190; });
    }
    // Faded out entirely: while it fades it still takes the clicks.
    bool alertGone() { return session.waitForPixel(kBackground, QColor(242, 242, 242), 0); }
};

TEST_F(LoginDisplay, ASubscriberTypesTheirWayInPastTwoAlerts) {
    session.writeDefaults({{"is_open_guideview", true}});
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(session.waitForPixel({40, 272}, kBlue) && session.waitForPixel({185, 213}, kBlue));
    // Empty fields: the screen says what is missing; Escape closes it as its button does.
    session.click(kLoginButton);
    ASSERT_TRUE(alertUp());
    session.key("Escape");
    ASSERT_TRUE(alertGone());

    // Tab moves on to the password; the return key logs nobody in by itself.
    session.click(kNumberField);
    session.type("13800000001");
    session.key("Tab");
    session.type("654321");
    session.key("Return");
    session.click(kLoginButton);
    ASSERT_TRUE(session.waitForRequest("Login"));
    EXPECT_EQ(session.requests("Login").last().value("num").toString(), "13800000001");
    ASSERT_TRUE(alertUp()); // the wrong password: "手机号或密码输入错误"
    session.click(kAlertButton);
    ASSERT_TRUE(alertGone());

    session.click(kPasswordField);
    session.key("ctrl+a");
    session.key("BackSpace");
    session.type("123456");
    session.click(kLoginButton);
    ASSERT_TRUE(session.waitForRequest("Login", 2));
    EXPECT_TRUE(session.waitForRequest("StarLevel")); // the drawer container is up
    EXPECT_TRUE(session.waitForDefault("password", "123456"));
    EXPECT_EQ(session.defaults().value("username").toString(), "13800000001");
}

} // namespace
