#include "tests/display/DisplaySession.h"

namespace {

const QPointF kAlertMiddle(160, 284);
const QRect kContent(0, 70, 320, 440);
const QRect kTabBar(0, 522, 320, 44);

TEST_F(DisplayTest, APointsExchangeIsConfirmedAndThePointsAskedForAgain) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start({"kelvamor://Main&RechargeViewController"}));
    ASSERT_TRUE(session.waitForRequest("PaymentInfo"));
    ASSERT_TRUE(session.waitForStillScreen());
    // The recharge history from the recharge screen's bar, then back home to the manage tab,
    // whose board leads to the points.
    session.click({272, 42});
    ASSERT_TRUE(session.waitForRequest("ChargeRecord"));
    ASSERT_TRUE(session.waitForStillScreen());
    ASSERT_TRUE(session.clickAndSettle({18, 42}));
    ASSERT_TRUE(session.clickAndSettle({18, 42}, kTabBar));
    ASSERT_TRUE(session.clickAndSettle({200, 543}, kContent));
    session.click({82, 64 + 292}); // "积分兑换"
    ASSERT_TRUE(session.waitForRequest("ExchangePoint"));
    // The loading overlay dims the screen until the points are in.
    ASSERT_TRUE(DisplaySession::waitFor([&] {
        return session.pixel({300, 100}).lightness() > 200;
    }));
    ASSERT_TRUE(session.waitForStillScreen());
    // The first product (1000 of the demo subscriber's 1260 points), top left of the grid.
    session.click({55, 64 + 193 + 39});
    ASSERT_TRUE(session.waitForPixel(kAlertMiddle, Qt::white, 30));
    ASSERT_TRUE(session.waitForStillScreen());
    session.click({228, 313}); // "确认"
    ASSERT_TRUE(session.waitForRequest("ExchangePoint", 2));
    const QVariantMap exchange = session.requests("ExchangePoint").last();
    EXPECT_EQ(exchange.value("action").toString(), "1");
    EXPECT_EQ(exchange.value("productid").toString(), "P1001");
    // "兑换成功", whose button asks for the points again.
    ASSERT_TRUE(session.waitForPixel(kAlertMiddle, Qt::white, 30));
    ASSERT_TRUE(session.waitForStillScreen());
    session.click({160, 314});
    ASSERT_TRUE(session.waitForRequest("ExchangePoint", 3));
    EXPECT_EQ(session.requests("ExchangePoint").last().value("action").toString(), "0");
}

} // namespace
