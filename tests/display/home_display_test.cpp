#include "tests/display/DisplaySession.h"

namespace {

// The navigation bar: "首页" and the drawer button while the home page is up and in place (the
// balances below change as the page asks for them again, the carousel turns by itself).
const QRect kHeader(0, 0, 320, 64);
const QPointF kBackButton(20, 42);

TEST_F(DisplayTest, TheHomePageIsPulledSwipedAndOpensATileAndAMenuChoice) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(session.waitForRequest("Balance"));
    ASSERT_TRUE(session.waitForStillScreen(300, kHeader));
    const QImage home = session.screen();
    const auto homeShown = [&] { return session.screen().copy(kHeader) == home.copy(kHeader); };

    // Pulled down, it asks for both halves again and springs back.
    session.drag({160, 250}, {160, 460}, 14, 30);
    EXPECT_TRUE(session.waitForRequest("MainBillInfo", 2));
    EXPECT_TRUE(session.waitForRequest("Balance", 2));
    ASSERT_TRUE(DisplaySession::waitFor(homeShown));

    // The carousel follows a swipe.
    const QPoint sample(60, 240);
    const QColor before = session.pixel(sample);
    session.drag({290, 240}, {30, 240}, 10, 16);
    EXPECT_TRUE(session.waitForScreen(
        [&](const QImage& s) { return !DisplaySession::near(s.pixelColor(sample), before); },
        2000));

    // The family-network tile opens its screen, the back button leaves it.
    ASSERT_TRUE(session.clickAndSettle({240, 400}, kHeader));
    session.click(kBackButton);
    ASSERT_TRUE(DisplaySession::waitFor(homeShown));

    // The drawer's bill choice opens the bill, which asks for its month.
    ASSERT_TRUE(session.clickAndSettle({27, 42}, kHeader));
    ASSERT_TRUE(session.clickAndSettle({100, 284}, kHeader));
    EXPECT_TRUE(session.waitForRequest("Bill"));
    session.click(kBackButton);
    EXPECT_TRUE(DisplaySession::waitFor(homeShown));
}

} // namespace
