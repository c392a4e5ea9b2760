#include "tests/display/DisplaySession.h"

namespace {

constexpr double kBar = 64;

TEST_F(DisplayTest, ThePagesDataButtonLeadsToAPackOrderedThroughBothDialogs) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start());
    ASSERT_TRUE(session.waitForRequest("Balance"));
    ASSERT_TRUE(session.waitForStillScreen(300, QRect(0, 0, 320, 200)));
    EXPECT_TRUE(session.requests("FlowProduct").isEmpty());
    session.click({10 + 145 / 2.0, kBar + 254 + 19}); // "流量查询" under the header
    ASSERT_TRUE(session.waitForRequest("FlowProduct", 2));
    EXPECT_EQ(session.requests("FlowProduct").first().value("position").toString(), "0");
    ASSERT_TRUE(session.waitForRequest("Balance", 2));

    // The add-pack button (green) shows once packs are offered.
    const QPointF addPack(160, kBar + 221);
    ASSERT_TRUE(session.waitForPixel(addPack + QPointF(-70, 0), QColor(45, 152, 88), 24));
    ASSERT_TRUE(session.waitForStillScreen());
    session.click(addPack);
    // The choice dialog (278 x 260, centred): the second pack's picture, then "立即订购".
    const QPointF choice((320 - 278) / 2.0, (568 - 260) / 2.0);
    ASSERT_TRUE(session.waitForPixel(choice + QPointF(139, 5), Qt::white, 24));
    ASSERT_TRUE(session.waitForStillScreen());
    session.click(choice + QPointF(189 + 36, 94 + 38));
    session.click(choice + QPointF(20 + 55, 214 + 17));
    // The confirmation (278 x 290): "确认订购".
    const QPointF confirm((320 - 278) / 2.0, (568 - 290) / 2.0);
    ASSERT_TRUE(
        session.waitForPixel(confirm + QPointF(148 + 10, 240 + 17), QColor(70, 140, 202), 24));
    ASSERT_TRUE(session.waitForStillScreen());
    EXPECT_TRUE(session.requests("Order").isEmpty());
    session.click(confirm + QPointF(148 + 55, 240 + 17));
    ASSERT_TRUE(session.waitForRequest("Order"));
    const QVariantMap order = session.requests("Order").first();
    EXPECT_EQ(order.value("target").toString(), "8800002000150");
    EXPECT_EQ(order.value("marketid").toString(), "M2000150");
    EXPECT_EQ(order.value("action").toString(), "1");
    EXPECT_TRUE(session.waitForRequest("Balance", 3)); // the meter asks for the new figures
}

} // namespace
