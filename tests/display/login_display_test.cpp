#include "tests/display/DisplaySession.h"

namespace {

const QPointF kLoginButton(160, 272);
const QColor kBlue(70, 140, 202); // the button, and a ticked box

TEST_F(DisplayTest, ASubscriberTypesTheirWayInPastTwoAlerts) {
    session.writeDefaults({{"is_open_guideview", true}});
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(session.waitForPixel({40, 272}, kBlue) && session.waitForPixel({185, 213}, kBlue));
    // An alert dims the page; it has gone once faded out entirely (while it fades it still
    // takes the clicks).
    const auto alert = [&](bool up) {
        return up ? DisplaySession::waitFor([&] {
            return session.pixel({10, 520}).lightness() < 190;
        })
                  : session.waitForPixel({10, 520}, QColor(242, 242, 242), 0);
    };
    // Empty fields: the screen says what is missing; Escape closes it as its button does.
    session.click(kLoginButton);
    ASSERT_TRUE(alert(true));
    session.key("Escape");
    ASSERT_TRUE(alert(false));

    // Tab moves on to the password; the return key logs nobody in by itself.
    session.click({160, 116});
    session.type("13800000001");
    session.key("Tab");
    session.type("654321");
    session.key("Return");
    session.click(kLoginButton);
    ASSERT_TRUE(session.waitForRequest("Login"));
    EXPECT_EQ(session.requests("Login").last().value("num").toString(), "13800000001");
    ASSERT_TRUE(alert(true)); // the wrong password: "手机号或密码输入错误"
    session.click({160, 314});
    ASSERT_TRUE(alert(false));

    session.click({160, 170}); // the password, typed again
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
