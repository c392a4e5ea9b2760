#include "tests/display/DisplaySession.h"

// The web page screen on a real display: the browser engine starts under the desktop's
// display server, the back button leaves the page, and the client still ends cleanly.
namespace {

const QPointF kBackButton(17, 42);

int differingPixels(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 64; y < qMin(a.height(), b.height()); y += 4)
        for (int x = 0; x < qMin(a.width(), b.width()); x += 4)
            if (!DisplaySession::near(a.pixelColor(x, y), b.pixelColor(x, y))) ++count;
    return count;
}

TEST_F(DisplayTest, AWebPageOpenedByItsLinkIsLeftWithTheBackButton) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(session.waitForStillScreen(300, 20000));
    const QImage home = session.screen();
    ASSERT_TRUE(session.stopClient());

    // The same subscriber's start, this time with the page's link.
    ASSERT_TRUE(session.start({"kelvamor://Main&WebViewController"}));
    ASSERT_TRUE(session.waitForScreen(
        [&](const QImage& now) { return differingPixels(now, home) > 50; }, 20000));
    ASSERT_TRUE(session.waitForStillScreen(300, 20000));
    const QImage page = session.screen();

    session.click(kBackButton);
    EXPECT_TRUE(session.waitForScreen(
        [&](const QImage& now) { return differingPixels(now, page) > 50; }, 10000));
    ASSERT_TRUE(session.waitForStillScreen(300, 10000));
    EXPECT_LT(differingPixels(session.screen(), home), 20);
    EXPECT_TRUE(session.clientRunning());
    EXPECT_TRUE(session.stopClient());
}

} // namespace
