#include "tests/display/DisplaySession.h"

#include <QDate>

// The data-usage screens on a real display: opened from the home page by a link, a pack
// ordered through both dialogs, month buttons and network segments pressed with a real pointer.
// Window points: the navigation bar takes the top 64, the screens lay out below it.
namespace {

constexpr double kBar = 64;

// The screen the home page opens for a kelvamor link, with the demo subscriber signed in.
bool openFromHome(DisplaySession& session, const QString& scene) {
    session.rememberSubscriber();
    return session.start({"kelvamor://Flow&" + scene});
}

QString monthBack(int back) {
    const QDate today = QDate::currentDate();
    return QDate(today.year(), today.month(), 1).addMonths(-back).toString("yyyyMM");
}

TEST_F(DisplayTest, TheHomePagesDataButtonOpensTheDataUsageScreen) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(session.waitForRequest("Balance"));
    EXPECT_TRUE(session.requests("FlowProduct").isEmpty());
    // "流量查询" under the home page's header.
    const QPointF dataButton(10 + 145 / 2.0, kBar + 254 + 19);
    DisplaySession::waitFor([] { return false; }, 600);
    session.click(dataButton);
    ASSERT_TRUE(session.waitForRequest("FlowProduct", 2));
    EXPECT_EQ(session.requests("FlowProduct").first().value("position").toString(), "0");
    EXPECT_TRUE(session.waitForRequest("Balance", 2));
}

TEST_F(DisplayTest, APackIsOrderedThroughBothDialogs) {
    ASSERT_TRUE(openFromHome(session, "FlowMainController"));
    ASSERT_TRUE(session.waitForRequest("Balance"));
    ASSERT_TRUE(session.waitForRequest("FlowProduct", 2));
    // The add-pack button (green) shows once packs are offered.
    const QPointF addPack(160, kBar + 221);
    ASSERT_TRUE(session.waitForPixel(addPack + QPointF(-70, 0), QColor(45, 152, 88), 24));
    session.click(addPack);
    // The choice dialog (278 x 260, centred): the second pack's picture, then "立即订购".
    const QPointF choice((320 - 278) / 2.0, (568 - 260) / 2.0);
    ASSERT_TRUE(session.waitForPixel(choice + QPointF(139, 5), Qt::white, 24));
    session.click(choice + QPointF(189 + 36, 94 + 38));
    session.click(choice + QPointF(20 + 55, 214 + 17));
    // The confirmation (278 x 290): "确认订购".
    const QPointF confirm((320 - 278) / 2.0, (568 - 290) / 2.0);
    ASSERT_TRUE(
        session.waitForPixel(confirm + QPointF(148 + 10, 240 + 17), QColor(70, 140, 202), 24));
    EXPECT_TRUE(session.requests("Order").isEmpty());
    session.click(confirm + QPointF(148 + 55, 240 + 17));
    ASSERT_TRUE(session.waitForRequest("Order"));
    const QVariantMap order = session.requests("Order").first();
    EXPECT_EQ(order.value("target").toString(), "8800002000150");
    EXPECT_EQ(order.value("marketid").toString(), "M2000150");
    EXPECT_EQ(order.value("action").toString(), "1");
    // The meter asks for the new figures.
    EXPECT_TRUE(session.waitForRequest("Balance", 2));
}

TEST_F(DisplayTest, MonthButtonsAskForTheirBills) {
    ASSERT_TRUE(openFromHome(session, "FlowMonStatsController"));
    ASSERT_TRUE(session.waitForRequest("FlowBill"));
    EXPECT_EQ(session.requests("FlowBill").first().value("date").toString(), monthBack(1));
    const double buttonsY = kBar + 234 + 13;
    for (int k : {3, 6}) {
        const int before = int(session.requests("FlowBill").size());
        // The loading overlay of the previous bill goes first.
        DisplaySession::waitFor([] { return false; }, 600);
        session.click({6 + (k - 1) * (48 + 4.4) + 24, buttonsY});
        ASSERT_TRUE(session.waitForRequest("FlowBill", before + 1)) << k;
        EXPECT_EQ(session.requests("FlowBill").last().value("date").toString(), monthBack(k));
    }
}

TEST_F(DisplayTest, NetworkSegmentsReloadTheLists) {
    ASSERT_TRUE(openFromHome(session, "FlowSuitChangeController"));
    ASSERT_TRUE(session.waitForRequest("FlowRecommend"));
    EXPECT_EQ(session.requests("FlowRecommend").first().value("type").toString(), "1");
    DisplaySession::waitFor([] { return false; }, 600);
    const double segmentY = kBar + 68 + 10;
    const double segmentX = 320 - 8 - 90;
    session.click({segmentX + 22, segmentY});
    ASSERT_TRUE(session.waitForRequest("FlowRecommend", 2));
    EXPECT_EQ(session.requests("FlowRecommend").last().value("type").toString(), "0");
    session.click({segmentX + 67, segmentY});
    ASSERT_TRUE(session.waitForRequest("FlowRecommend", 3));
    EXPECT_EQ(session.requests("FlowRecommend").last().value("type").toString(), "1");
}

} // namespace
