#include "tests/display/DisplaySession.h"

namespace {

const QPointF kDrawerButton(27, 42);

TEST_F(DisplayTest, TheDrawerOpensAndShutsByClicksAndDragsThenLogsOut) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(session.waitForRequest("StarLevel"));
    ASSERT_TRUE(session.waitForPixel(kDrawerButton, Qt::white, 40));
    ASSERT_TRUE(session.waitForStillScreen(300, QRect(0, 0, 320, 64)));
    // Open or shut by the foot of the display (the menu's is dark, the tab bar's light), and
    // at rest there: the spring's last sub-pixel moves show nothing, and until it ends a click
    // beside the drawer does not shut it yet.
    const auto drawer = [&](bool open) {
        return DisplaySession::waitFor([&] {
                   const int light = session.pixel({10, 560}).lightness();
                   return open ? light < 110 : light > 200;
               }) &&
               session.waitForStillScreen(500, QRect(0, 500, 320, 68));
    };

    // Opened by its button, shut by a click beside it; opened by a drag from the balances (a
    // carousel below takes sideways drags itself), dragged most of the way back it springs shut.
    session.click(kDrawerButton);
    ASSERT_TRUE(drawer(true));
    session.click({260, 300});
    ASSERT_TRUE(drawer(false));
    session.drag({100, 150}, {290, 150});
    ASSERT_TRUE(drawer(true));
    session.drag({260, 150}, {40, 150});
    ASSERT_TRUE(drawer(false));

    // Logging out, confirmed, forgets the subscriber and shows the log-in.
    session.click(kDrawerButton);
    ASSERT_TRUE(drawer(true));
    session.click({127, 544});
    ASSERT_TRUE(DisplaySession::waitFor([&] {
        return session.pixel({300, 100}).lightness() < 200;
    }));
    session.click({228, 313}); // "确认" of "确认注销登录？"
    EXPECT_TRUE(DisplaySession::waitFor([&] {
        const QVariantMap d = session.defaults();
        return !d.contains("username") && !d.contains("password");
    }));
    EXPECT_TRUE(session.waitForPixel({40, 272}, QColor(70, 140, 202)));
}

} // namespace
