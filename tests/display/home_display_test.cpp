#include "tests/display/DisplaySession.h"

namespace {

// The navigation bar: "首页" and the drawer button while the home page is up and in place (the
// balances below change as the page asks for them again, the carousel turns by itself).
const QRect kHeader(0, 0, 320, 64);
const QPointF kBackButton(20, 42);
// The page between the navigation and tab bars, without the carousel (it turns by itself):
// the balances at its top, the data buttons and the three tiles at its bottom.
const QRect kPageTop(0, 64, 320, 110);
const QRect kPageBottom(0, 318, 320, 201);

// The same picture in region, but for the odd level of a scaled picture's edge.
bool samePicture(const QImage& a, const QImage& b, const QRect& region) {
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            if (!DisplaySession::near(a.pixelColor(x, y), b.pixelColor(x, y), 4)) return false;
    return true;
}

// Pulled and swiped, the page then opens screens (with the tab bar hidden or kept) and comes
// back from each drawn as it rested after the pull: the refresh header out of sight at the top,
// the tiles where they were, the last one whole above the tab bar.
TEST_F(DisplayTest, TheHomePageIsPulledSwipedAndComesBackAsItRestedFromWhatItOpens) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(session.waitForRequest("Balance"));
    ASSERT_TRUE(session.waitForStillScreen(300, kHeader));
    const QImage home = session.screen();
    const auto homeShown = [&] { return session.screen().copy(kHeader) == home.copy(kHeader); };

    // Pulled down, it asks for both halves again and springs back.
    session.drag({160, 250}, {160, 460}, 14, 30);
    EXPECT_TRUE(session.waitForRequest("MainBillInfo", 2));
    ASSERT_TRUE(session.waitForRequest("Balance", 2));
    ASSERT_TRUE(session.waitForStillScreen(500, kPageTop));
    ASSERT_TRUE(session.waitForStillScreen(500, kPageBottom));
    const QImage rested = session.screen();
    // The balances' white at the page's top, not the refresh header's grey.
    EXPECT_TRUE(DisplaySession::near(rested.pixelColor(160, 66), Qt::white, 4));
    const auto asRested = [&] {
        const QImage now = session.screen();
        return samePicture(now, rested, kPageTop) && samePicture(now, rested, kPageBottom);
    };

    // The carousel follows a swipe.
    const QPoint sample(60, 240);
    const QColor before = session.pixel(sample);
    session.drag({290, 240}, {30, 240}, 10, 16);
    EXPECT_TRUE(session.waitForScreen(
        [&](const QImage& s) { return !DisplaySession::near(s.pixelColor(sample), before); },
        2000));

    // Each opens its screen, and the back button leaves it.
    const struct {
        const char* what;
        QPointF at;
    } openers[] = {
        {"充值", {132, 83}}, {"流量加油包", {237, 337}}, {"the family tile", {240, 400}}};
    for (const auto& o : openers) {
        SCOPED_TRACE(o.what);
        ASSERT_TRUE(session.clickAndSettle(o.at, kHeader));
        session.click(kBackButton);
        EXPECT_TRUE(DisplaySession::waitFor(asRested, 5000));
    }

    // The drawer's bill choice opens the bill, which asks for its month.
    ASSERT_TRUE(session.clickAndSettle({27, 42}, kHeader));
    ASSERT_TRUE(session.clickAndSettle({100, 284}, kHeader));
    EXPECT_TRUE(session.waitForRequest("Bill"));
    session.click(kBackButton);
    EXPECT_TRUE(DisplaySession::waitFor(homeShown));
}

} // namespace
