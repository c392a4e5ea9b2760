#include "tests/display/DisplaySession.h"

// The drawer container after the automatic log-in, used with a real pointer and keyboard.
namespace {

const QPointF kDrawerButton(27, 42);
const QPointF kMenuSample(10, 560);       // the menu's dark foot once open, the tab bar when shut
const QRect kDrawerEdge(0, 500, 320, 68); // the tab bar's foot: moves only with the drawer
const QPointF kShutSample(260, 300);      // the tab bar's edge, right of the open menu
const QPointF kShareEntry(50, 452);       // "短信分享"
const QPointF kLogoutEntry(127, 544);     // "注销"
const QPointF kAlertRight(228, 313);      // the second of two alert buttons
const QPointF kDim(300, 100);             // dimmed while an alert is up
constexpr int kSpringTailMs = 500;

bool dark(const QColor& c) {
    return c.isValid() && c.lightness() < 110;
}

// Whether the tab's icon and title are drawn in the selection's blue.
bool tabSelected(const QImage& s, int tab) {
    int blue = 0;
    for (int y = 524; y < 566; ++y)
        for (int x = tab * 80 + 10; x < tab * 80 + 70; ++x) {
            const QColor c = s.pixelColor(x, y);
            if (c.blue() - c.red() > 80) ++blue;
        }
    return blue > 30;
}

class ShellDisplay : public DisplayTest {
protected:
    bool openContainer(const QStringList& args = {}) {
        session.rememberSubscriber();
        if (!session.start(args) || !session.waitForRequest("StarLevel")) return false;
        // The home page's bar with its drawer button, the log-in's bar slid away.
        return session.waitForScreen([](const QImage& s) { return tabSelected(s, 0); }) &&
               session.waitForPixel(kDrawerButton, Qt::white, 40) &&
               session.waitForStillScreen(150, 10000, QRect(0, 0, 320, 64));
    }
    // Open or shut and at rest. The drawer settles on a spring whose last sub-pixel moves
    // show nothing: until it ends, a click beside it does not shut it yet.
    bool drawerOpen() {
        return DisplaySession::waitFor([&] { return dark(session.pixel(kMenuSample)); }) &&
               session.waitForStillScreen(kSpringTailMs, 10000, kDrawerEdge);
    }
    bool drawerShut() {
        return DisplaySession::waitFor(
                   [&] { return session.pixel(kMenuSample).lightness() > 200; }) &&
               session.waitForStillScreen(kSpringTailMs, 10000, kDrawerEdge);
    }
    bool dimmed() {
        return DisplaySession::waitFor([&] { return session.pixel(kDim).lightness() < 200; });
    }
};

TEST_F(ShellDisplay, EachTabIsSelectedByAClick) {
    ASSERT_TRUE(openContainer());
    for (int tab : {1, 2, 3, 0, 2}) {
        session.click({tab * 80.0 + 40, 548});
        EXPECT_TRUE(session.waitForScreen([&](const QImage& s) {
            for (int other = 0; other < 4; ++other)
                if (tabSelected(s, other) != (other == tab)) return false;
            return true;
        })) << "tab "
            << tab;
    }
}

TEST_F(ShellDisplay, TheDrawerOpensByItsButtonAndByADragAndShutsByAClickBeside) {
    ASSERT_TRUE(openContainer());
    session.click(kDrawerButton);
    ASSERT_TRUE(drawerOpen());
    session.click(kShutSample);
    ASSERT_TRUE(drawerShut());

    // From the balances at the top of the home page (below them a carousel takes sideways
    // drags itself).
    session.drag({100, 150}, {290, 150});
    ASSERT_TRUE(drawerOpen());
    // Dragged back most of the way, it springs shut.
    session.drag({260, 150}, {40, 150});
    EXPECT_TRUE(drawerShut());
}

TEST_F(ShellDisplay, AMenuEntryAnswersAClickAndEscapeCancelsWhatItOpened) {
    ASSERT_TRUE(openContainer());
    session.click(kDrawerButton);
    ASSERT_TRUE(drawerOpen());
    session.click(kShareEntry);
    ASSERT_TRUE(dimmed()); // the share alert, with its number field
    session.type("13800000002");
    session.key("Escape");
    EXPECT_TRUE(DisplaySession::waitFor([&] { return session.pixel(kDim).lightness() > 200; }));
}

TEST_F(ShellDisplay, LoggingOutByClickForgetsTheSubscriberAndShowsTheLogIn) {
    ASSERT_TRUE(openContainer());
    ASSERT_EQ(session.defaults().value("username").toString(), "13800000001");
    session.click(kDrawerButton);
    ASSERT_TRUE(drawerOpen());
    session.click(kLogoutEntry);
    ASSERT_TRUE(dimmed()); // "确认注销登录？"
    session.click(kAlertRight);
    EXPECT_TRUE(DisplaySession::waitFor([&] {
        const QVariantMap d = session.defaults();
        return !d.contains("username") && !d.contains("password");
    }));
    // The log-in screen: its button drawn in blue, the number field empty.
    EXPECT_TRUE(session.waitForPixel({40, 272}, QColor(70, 140, 202)));
}

} // namespace
