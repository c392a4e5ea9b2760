#include "tests/display/DisplaySession.h"

namespace {

const QPointF kDrawerButton(27, 42);
const QPointF kMenuSample(10, 560);       // the menu's dark foot once open, the tab bar when shut
const QRect kDrawerEdge(0, 500, 320, 68); // the tab bar's foot: moves only with the drawer
const QPointF kDim(300, 100);             // dimmed while an alert is up

// Whether the tab's icon and title are drawn in the selection's blue.
bool tabSelected(const QImage& s, int tab) {
    int blue = 0;
    for (int y = 524; y < 566; ++y)
        for (int x = tab * 80 + 10; x < tab * 80 + 70; ++x)
            blue += s.pixelColor(x, y).blue() - s.pixelColor(x, y).red() > 80;
    return blue > 30;
}

class ShellDisplay : public DisplayTest {
protected:
    // Open or shut, and at rest: the spring's last sub-pixel moves show nothing, and until it
    // ends a click beside the drawer does not shut it yet.
    bool drawer(bool open) {
        return DisplaySession::waitFor([&] {
                   const int light = session.pixel(kMenuSample).lightness();
                   return open ? light < 110 : light > 200;
               }) &&
               session.waitForStillScreen(500, 20000, kDrawerEdge);
    }
    bool dimmed(bool dim) {
        return DisplaySession::waitFor(
            [&] { return (session.pixel(kDim).lightness() < 200) == dim; });
    }
};

TEST_F(ShellDisplay, TabsAndTheDrawerAnswerClicksDragsAndKeysUntilLogOut) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(session.waitForRequest("StarLevel"));
    ASSERT_TRUE(session.waitForScreen([](const QImage& s) { return tabSelected(s, 0); }));
    for (int tab : {1, 2, 3, 0}) {
        session.click({tab * 80.0 + 40, 548});
        ASSERT_TRUE(session.waitForScreen([&](const QImage& s) {
            for (int other = 0; other < 4; ++other)
                if (tabSelected(s, other) != (other == tab)) return false;
            return true;
        })) << "tab "
            << tab;
    }
    ASSERT_TRUE(session.waitForPixel(kDrawerButton, Qt::white, 40));
    ASSERT_TRUE(session.waitForStillScreen(300, 20000, QRect(0, 0, 320, 64)));

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

    // The share entry's alert takes a typed number; Escape cancels it.
    session.click(kDrawerButton);
    ASSERT_TRUE(drawer(true));
    session.click({50, 452});
    ASSERT_TRUE(dimmed(true));
    session.type("13800000002");
    session.key("Escape");
    ASSERT_TRUE(dimmed(false));

    // Logging out, confirmed, forgets the subscriber and shows the log-in.
    session.click(kDrawerButton);
    ASSERT_TRUE(drawer(true));
    session.click({127, 544});
    ASSERT_TRUE(dimmed(true)); // "确认注销登录？"
    session.click({228, 313}); // "确认"
    EXPECT_TRUE(DisplaySession::waitFor([&] {
        const QVariantMap d = session.defaults();
        return !d.contains("username") && !d.contains("password");
    }));
    EXPECT_TRUE(session.waitForPixel({40, 272}, QColor(70, 140, 202)));
}

} // namespace
