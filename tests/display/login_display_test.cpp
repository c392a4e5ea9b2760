#include "tests/display/DisplaySession.h"

// The log-in screen used with a real pointer and keyboard.
namespace {

// Window points of the log-in screen (below its 64-point bar).
const QPointF kNumberField(160, 116);
const QPointF kPasswordField(160, 170);
const QPointF kSaveBox(25, 213); // inside the box's fill, off its tick
const QPointF kAutoBox(185, 213);
const QPointF kLoginButton(160, 272);
const QPointF kAlertSingleButton(160, 314);
const QPointF kBackground(10, 520);
const QColor kPage(242, 242, 242);
const QColor kBlue(70, 140, 202); // the button, and a ticked box

bool dimmed(const QColor& c) {
    return c.isValid() && c.lightness() < 190;
}

class LoginDisplay : public DisplayTest {
protected:
    // The log-in screen, the guide already seen.
    bool openLogIn() {
        session.writeDefaults({{"is_open_guideview", true}});
        if (!session.start()) return false;
        // Settled: the button drawn, both boxes ticked as on a first start.
        return session.waitForPixel({40, 272}, kBlue) && session.waitForPixel(kSaveBox, kBlue) &&
               session.waitForPixel(kAutoBox, kBlue);
    }
    bool alertUp() {
        return session.waitForScreen(
            [](const QImage& s) { return dimmed(s.pixelColor(kBackground.toPoint())); });
    }
    // Until it has faded out entirely: while it fades it still takes the clicks.
    bool alertGone() { return session.waitForPixel(kBackground, kPage, 0); }
    void typeInto(const QPointF& field, const QString& text) {
        session.click(field);
        session.key("ctrl+a");
        session.key("BackSpace");
        session.type(text);
    }
};

TEST_F(LoginDisplay, TypedNumbersAndPasswordsAreSentAndAWrongOneIsAnswered) {
    ASSERT_TRUE(openLogIn());
    // Clicked with empty fields: the screen says what is missing, a click closes it.
    session.click(kLoginButton);
    ASSERT_TRUE(alertUp());
    session.click(kAlertSingleButton);
    ASSERT_TRUE(alertGone());

    typeInto(kNumberField, "13800000001");
    typeInto(kPasswordField, "654321");
    session.click(kLoginButton);
    ASSERT_TRUE(session.waitForRequest("Login"));
    const QVariantMap sent = session.requests("Login").last();
    EXPECT_EQ(sent.value("num").toString(), "13800000001");
    // The request log masks passwords: the wrong one shows by its answer.
    ASSERT_TRUE(alertUp()); // "手机号或密码输入错误"
    session.click(kAlertSingleButton);
    ASSERT_TRUE(alertGone());

    typeInto(kPasswordField, "123456");
    session.key("Return"); // the keyboard's return key: no log-in by itself
    session.click(kLoginButton);
    ASSERT_TRUE(session.waitForRequest("Login", 2));
    // The drawer container asks for the star level once it is up.
    EXPECT_TRUE(session.waitForRequest("StarLevel"));
    EXPECT_TRUE(session.waitForDefault("username", "13800000001"));
    EXPECT_EQ(session.defaults().value("password").toString(), "123456");
}

TEST_F(LoginDisplay, BothCheckBoxesToggleByClickAndTheChoiceIsStored) {
    ASSERT_TRUE(openLogIn());
    auto ticked = [&](const QPointF& box) {
        return DisplaySession::near(session.pixel(box), kBlue);
    };
    // Automatic log-in off and on again, then keeping the password off (which takes the
    // automatic log-in with it).
    session.click(kAutoBox);
    ASSERT_TRUE(DisplaySession::waitFor([&] { return !ticked(kAutoBox); }));
    EXPECT_TRUE(ticked(kSaveBox));
    session.click(kAutoBox);
    ASSERT_TRUE(DisplaySession::waitFor([&] { return ticked(kAutoBox); }));
    session.click(kSaveBox);
    ASSERT_TRUE(DisplaySession::waitFor([&] { return !ticked(kSaveBox) && !ticked(kAutoBox); }));

    typeInto(kNumberField, "13800000002");
    // Tab moves on to the password field.
    session.key("Tab");
    session.type("234567");
    session.click(kLoginButton);
    ASSERT_TRUE(session.waitForRequest("Login"));
    // Only the right password, typed after the Tab, logs this subscriber in.
    ASSERT_TRUE(session.waitForDefault("username", "13800000002"));
    const QVariantMap stored = session.defaults();
    EXPECT_FALSE(stored.value("is_auto_login").toBool());
    EXPECT_FALSE(stored.value("is_save_password").toBool());
    EXPECT_EQ(stored.value("password").toString(), "");
}

TEST_F(LoginDisplay, EscapeClosesTheAlertAsItsButtonDoes) {
    ASSERT_TRUE(openLogIn());
    session.click(kLoginButton);
    ASSERT_TRUE(alertUp());
    session.key("Escape");
    ASSERT_TRUE(alertGone());
    // The screen answers again.
    session.click(kLoginButton);
    EXPECT_TRUE(alertUp());
}

} // namespace
