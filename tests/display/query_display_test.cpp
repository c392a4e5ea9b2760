#include "tests/display/DisplaySession.h"

namespace {

const QRect kContent(0, 70, 320, 440);
const QRect kTabBar(0, 522, 320, 44);

TEST_F(DisplayTest, TheQueryAndManageTabsOpenWhatTheirButtonsSay) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(session.waitForRequest("StarLevel")); // the drawer menu is up

    session.click({120, 543}); // the query tab
    ASSERT_TRUE(session.waitForRequest("PersonalInfo"));
    const QVariantMap personal = session.requests("PersonalInfo").last();
    EXPECT_EQ(personal.value("num"), "13800000001");
    EXPECT_FALSE(personal.value("session").toString().isEmpty());
    ASSERT_TRUE(session.waitForRequest("StarLevel", 2)); // the tab's own
    ASSERT_TRUE(session.waitForStillScreen());

    // The itemised bill opens over the tab.
    ASSERT_TRUE(session.clickAndSettle({160, 64 + 158}, kContent));
    ASSERT_TRUE(session.clickAndSettle({200, 543}, kTabBar)); // the manage tab lights up
    ASSERT_TRUE(session.waitForStillScreen());
    const QImage board = session.screen();
    ASSERT_TRUE(session.clickAndSettle({237, 64 + 32}, kContent)); // the data share

    // Back to the board, then the discounts, which hide the tab bar.
    session.click({18, 42});
    ASSERT_TRUE(session.waitForScreen(
        [&](const QImage& s) { return s.copy(kContent) == board.copy(kContent); }));
    ASSERT_TRUE(session.waitForStillScreen());
    ASSERT_TRUE(session.clickAndSettle({82, 64 + 188}, kTabBar));
    EXPECT_EQ(session.requests("Search").size(), 0); // the board asks nothing of the server
}

} // namespace
