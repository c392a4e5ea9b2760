#include "tests/display/DisplaySettle.h"

// The query and manage tabs, pressed with a real pointer.
namespace {

constexpr QPointF kQueryTab(120, 543);
constexpr QPointF kManageTab(200, 543);
// Entries, in window points (their screen starts below the 64-point bars).
constexpr QPointF kItemisedBill(160, 64 + 158);
constexpr QPointF kFlowShare(237, 64 + 32);
constexpr QPointF kDiscounts(82, 64 + 188);
constexpr QPointF kBack(18, 42);
const QRect kContent(0, 70, 320, 440);
const QRect kTabBar(0, 522, 320, 44);

// Whether the region now differs from how it was.
bool changed(const QImage& before, const QImage& now, const QRect& region) {
    return before.copy(region) != now.copy(region);
}

class TabsDisplayTest : public DisplayTest {
protected:
    bool settled() { return displaySettled(session); }
};

TEST_F(TabsDisplayTest, TheQueryAndManageTabsOpenWhatTheirButtonsSay) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(session.waitForRequest("StarLevel")); // the drawer menu is up

    session.click(kQueryTab);
    ASSERT_TRUE(session.waitForRequest("PersonalInfo"));
    const QVariantMap personal = session.requests("PersonalInfo").last();
    EXPECT_EQ(personal.value("num"), "13800000001");
    EXPECT_FALSE(personal.value("session").toString().isEmpty());
    ASSERT_TRUE(session.waitForRequest("StarLevel", 2)); // the tab's own

    // The itemised bill opens over the tab.
    QImage before = session.screen();
    session.click(kItemisedBill);
    ASSERT_TRUE(
        session.waitForScreen([&](const QImage& now) { return changed(before, now, kContent); }));
    before = session.screen();

    ASSERT_TRUE(settled());
    session.click(kManageTab);
    ASSERT_TRUE(session.waitForScreen(
        [&](const QImage& now) { return changed(before, now, kTabBar); })); // the tab lights up
    ASSERT_TRUE(settled());
    const QImage board = session.screen();
    session.click(kFlowShare);
    ASSERT_TRUE(
        session.waitForScreen([&](const QImage& now) { return changed(board, now, kContent); }));

    // Back to the board, then the discounts, which hide the tab bar.
    ASSERT_TRUE(settled());
    session.click(kBack);
    ASSERT_TRUE(
        session.waitForScreen([&](const QImage& now) { return !changed(board, now, kContent); }));
    session.click(kDiscounts);
    ASSERT_TRUE(
        session.waitForScreen([&](const QImage& now) { return changed(board, now, kTabBar); }));
    // The board itself asks nothing of the server.
    EXPECT_EQ(session.requests("Search").size(), 0);
}

} // namespace
