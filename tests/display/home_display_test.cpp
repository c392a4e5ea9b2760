#include "tests/display/DisplaySession.h"

// The home page with a real pointer: pulled down to refresh, its carousel swiped, a tile
// clicked, and every function of the drawer menu opened from it.
namespace {

// The navigation bar: "首页" and the drawer button while the home page is up and in place (the
// balances below may change as the page asks for them again).
const QRect kHeader(0, 0, 320, 64);
const QPointF kDrawerButton(27, 42);
const QPointF kBackButton(20, 42);

class HomeDisplayTest : public DisplayTest {
protected:
    void startAtHome() {
        session.rememberSubscriber();
        ASSERT_TRUE(session.start());
        ASSERT_TRUE(session.waitForRequest("Balance"));
        ASSERT_TRUE(settled());
        header = session.screen().copy(kHeader);
    }
    // Two looks in a row show the same picture.
    bool settled() {
        QImage last;
        return DisplaySession::waitFor(
            [&] {
                const QImage now = session.screen();
                const bool same = now == last;
                last = now;
                return same;
            },
            5000, 120);
    }
    bool homeShown() { return session.screen().copy(kHeader) == header; }
    bool waitHome(bool shown) {
        return DisplaySession::waitFor([&] { return homeShown() == shown; }, 5000);
    }
    QImage header;
};

TEST_F(HomeDisplayTest, PullingDownAsksForTheBalancesAgain) {
    startAtHome();
    session.drag({160, 250}, {160, 460}, 14, 30);
    EXPECT_TRUE(session.waitForRequest("MainBillInfo", 2));
    EXPECT_TRUE(session.waitForRequest("Balance", 2));
    EXPECT_TRUE(waitHome(true)); // the page springs back
}

TEST_F(HomeDisplayTest, TheCarouselFollowsASwipeAndATileOpensItsScreen) {
    startAtHome();
    const QPointF sample(60, 240);
    const QColor before = session.pixel(sample);
    session.drag({290, 240}, {30, 240}, 10, 16);
    EXPECT_TRUE(session.waitForScreen(
        [&](const QImage& s) {
            return !DisplaySession::near(s.pixelColor(sample.toPoint()), before);
        },
        2000));

    session.click({240, 400}); // the family-network tile
    ASSERT_TRUE(waitHome(false));
    session.click(kBackButton);
    EXPECT_TRUE(waitHome(true));
    EXPECT_TRUE(session.clientRunning());
}

TEST_F(HomeDisplayTest, EveryMenuFunctionOpensFromTheHomePage) {
    startAtHome();
    struct Case {
        const char* name;
        QPointF at;
        const char* request; // what the opened screen asks the server for, if anything
        int opens;           // 1 opens a screen, 0 does nothing, -1 either (built elsewhere)
    };
    const Case cases[] = {
        {"package", {100, 152}, nullptr, 1},   {"flow", {100, 196}, nullptr, -1},
        {"ordered", {100, 240}, nullptr, 1},   {"bill", {100, 284}, "Bill", 1},
        {"wallet", {100, 328}, nullptr, 1},    {"recharge", {100, 372}, "PaymentInfo", 1},
        {"feedback", {100, 497}, nullptr, -1}, {"settings", {55, 544}, nullptr, -1},
    };
    for (const Case& c : cases) {
        session.click(kDrawerButton);
        ASSERT_TRUE(DisplaySession::waitFor([&] { return !homeShown(); }, 5000)) << c.name;
        ASSERT_TRUE(settled()) << c.name;
        const int asked = c.request ? int(session.requests(c.request).size()) : 0;
        const QImage menuUp = session.screen().copy(kHeader);
        session.click(c.at);
        // A client busy opening the screen (the first page loads the browser engine) draws
        // nothing for a while: a still picture then is not a settled one.
        DisplaySession::waitFor([&] { return session.screen().copy(kHeader) != menuUp; }, 3000);
        ASSERT_TRUE(settled()) << c.name;
        const bool opened = !homeShown();
        if (c.opens >= 0) {
            EXPECT_EQ(opened, c.opens == 1) << c.name;
        }
        if (c.request) {
            EXPECT_TRUE(session.waitForRequest(c.request, asked + 1)) << c.name;
        }
        if (opened) {
            session.click(kBackButton);
            ASSERT_TRUE(waitHome(true)) << c.name;
        }
        ASSERT_TRUE(session.clientRunning()) << c.name;
    }
}

} // namespace
