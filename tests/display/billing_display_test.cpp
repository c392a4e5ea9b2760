#include "tests/display/DisplaySession.h"

#include <QDate>

// The bill, recharge and points screens, opened by their links after the automatic log-in and
// used with a real pointer and keyboard. Points are window pixels (the bar ends at 64).
namespace {

constexpr double kTop = 64;
const QPointF kAlertRight(228, 313);        // the second of two alert buttons
const QPointF kAlertSingleButton(160, 314); // the only button of an alert
const QPointF kAlertMiddle(160, 284);
const QPointF kDimSample(300, 100); // a light part of each screen, dimmed while loading

class BillingDisplay : public DisplayTest {
protected:
    bool openScene(const QString& scene, const QString& firstRequest) {
        session.rememberSubscriber();
        return session.start({"kelvamor://Main&" + scene}) &&
               session.waitForRequest(firstRequest) && undimmed();
    }
    // The loading overlay has gone (it dims the screen) and nothing moves any more.
    bool undimmed() {
        return DisplaySession::waitFor(
                   [&] { return session.pixel(kDimSample).lightness() > 200; }) &&
               session.waitForStillScreen(300);
    }
    // An alert's white box in the middle of the display (the loading overlay there is dark),
    // at rest.
    bool alertUp() {
        return session.waitForPixel(kAlertMiddle, Qt::white, 30) && session.waitForStillScreen(300);
    }
    // The part of the display below y, to tell whether the table below moved.
    QImage below(double y) const {
        const QImage s = session.screen();
        return s.copy(0, int(y), s.width(), s.height() - int(y));
    }
};

TEST_F(BillingDisplay, AMonthIsOpenedAndItsSectionsFoldByClicks) {
    ASSERT_TRUE(openScene("BillViewController", "Bill"));
    // The third month button: two months ago, as "yyyyMM".
    session.click({8.5 + 2 * 51 + 24, kTop + 26});
    ASSERT_TRUE(session.waitForRequest("Bill", 2));
    ASSERT_TRUE(undimmed());
    const QDate month = QDate::currentDate().addMonths(-2);
    EXPECT_EQ(session.requests("Bill").last().value("ym").toString(), month.toString("yyyyMM"));
    ASSERT_TRUE(session.waitForStillScreen(300));
    // The demo subscriber has a family group: the table starts at 162. Section 1's header
    // lies below section 0's header (30) and footer (6).
    const double header1 = kTop + 162 + 36 + 15;
    const QImage closed = below(header1 + 16);
    session.click({160, header1});
    ASSERT_TRUE(
        session.waitForScreen([&](const QImage&) { return below(header1 + 16) != closed; }));
    ASSERT_TRUE(session.waitForStillScreen(300));
    session.click({160, header1});
    EXPECT_TRUE(
        session.waitForScreen([&](const QImage&) { return below(header1 + 16) == closed; }));
}

TEST_F(BillingDisplay, ARechargeAmountIsChosenAndACardNumberTyped) {
    ASSERT_TRUE(openScene("RechargeViewController", "RechargeOffer"));
    // The third amount button, 50.
    session.click({10 + 10 + 192 + 44, kTop + 118 + 12 + 22});
    ASSERT_TRUE(session.waitForRequest("RechargeOffer", 2));
    EXPECT_EQ(session.requests("RechargeOffer").last().value("amount").toString(), "50");
    // The recharge-card mode, its two fields, then the recharge button below the panel.
    session.click({162 + 74, kTop + 76 + 17});
    ASSERT_TRUE(session.waitForStillScreen(300));
    session.click({160, kTop + 118 + 40 + 20});
    session.type("10000000000000001");
    session.click({160, kTop + 118 + 100 + 20});
    session.type("100000000000000001");
    session.click({160, kTop + 118 + 200 + 12 + 22});
    ASSERT_TRUE(session.waitForRequest("Card"));
    const QVariantMap card = session.requests("Card").last();
    EXPECT_EQ(card.value("cardno").toString(), "10000000000000001");
    EXPECT_FALSE(card.value("cardpwd").toString().isEmpty()); // the log masks passwords
    session.click(kAlertSingleButton);                        // "充值成功"
}

TEST_F(BillingDisplay, APointsExchangeIsConfirmed) {
    ASSERT_TRUE(openScene("PointsQueryViewController", "ExchangePoint"));
    // The first product (1000 of the demo subscriber's 1260 points), top left of the grid
    // below the three-line summary.
    session.click({55, kTop + 193 + 39});
    ASSERT_TRUE(alertUp());
    session.click(kAlertRight); // "确认"
    ASSERT_TRUE(session.waitForRequest("ExchangePoint", 2));
    const QVariantMap exchange = session.requests("ExchangePoint").last();
    EXPECT_EQ(exchange.value("action").toString(), "1");
    EXPECT_EQ(exchange.value("productid").toString(), "P1001");
    ASSERT_TRUE(alertUp());            // "兑换成功"
    session.click(kAlertSingleButton); // "兑换成功": the points are asked for again
    EXPECT_TRUE(session.waitForRequest("ExchangePoint", 3));
    EXPECT_EQ(session.requests("ExchangePoint").last().value("action").toString(), "0");
}

} // namespace
