#include "BillingHarness.h"
#include "screens/billing/PointsExchangeRecordViewController.h"
#include "screens/billing/PointsQueryViewController.h"
#include "widgets/OverlayHUD.h"

namespace {

using namespace billing_test;

class PointsScreen : public BillingHarness {
protected:
    PointsQueryViewController* open() {
        auto* screen = new PointsQueryViewController;
        return BillingHarness::open(screen,
                                    [=] { return !text(screen->labelOfExchengeable()).isEmpty(); });
    }
    qint64 points() { return account("points"); }
    static void pick(PointsQueryViewController* screen, int product) {
        click(screen->collectionView()->cellForItem(product));
    }
};

TEST_F(PointsScreen, ShowsTheDemoSubscribersPointsAndProducts) {
    auto* screen = open();
    const auto asked = sandbox.requestsTo("ExchangePoint");
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].fields.items().mid(1),
              (Fields{{"num", "13800000001"}, {"action", "0"}, {"channel", "2"}}));
    const QString balance = QString::number(points());
    EXPECT_EQ(text(screen->labelOfPhoneNum()), "尊敬的13800000001客户：");
    EXPECT_EQ(text(screen->labelOfExchengeable()), balance);
    EXPECT_EQ(text(screen->labelOfWillExpire()), "300");
    EXPECT_TRUE(
        text(screen->labelOfDesc())
            .startsWith("您当前账户可用积分为" + balance + "，本年度新增积分860，有300积分"));
    // Seven products: three rows, 3 x 98 - 20 points.
    EXPECT_EQ(screen->collectionView()->numberOfItems(), 7);
    EXPECT_EQ(screen->collectionView()->frame().height(), 274);
    EXPECT_EQ(screen->collectionView()->cellForItem(0)->labelOfCell()->text(), "1000积分");
    const QRectF button = screen->buttonOfExchangeRecord()->frame();
    EXPECT_EQ(button.bottom(), screen->scrollView()->contentSize().height() - 12);
    EXPECT_GE(button.y(), screen->collectionView()->frame().bottom());
}

TEST_F(PointsScreen, OnlyAConfirmedExchangeWithinThePointsIsSentAndRecorded) {
    auto* screen = open();
    const qint64 before = points();
    sandbox.clearRequests();
    pick(screen, 2); // 1500 of the 1260 points: only said so
    EXPECT_TRUE(alertMessage().isEmpty());
    QStringList overlays;
    for (OverlayHUD* hud : screen->view()->findChildren<OverlayHUD*>())
        if (!hud->isHidden()) overlays << hud->detailsLabelText();
    EXPECT_TRUE(overlays.contains("您的积分不足，无法兑换！"));
    settle();        // the note leaves on its own
    pick(screen, 0); // 1000 of the 1260 points
    EXPECT_EQ(alertMessage(), "您将消耗1000积分兑换10元话费");
    pressAlert("取消");
    settle();
    EXPECT_TRUE(sandbox.requestsTo("ExchangePoint").isEmpty());
    pick(screen, 0);
    pressAlert("确认");
    ASSERT_TRUE(waitFor([&] { return alertMessage() == "兑换成功"; }));
    const auto exchange = sandbox.requestsTo("ExchangePoint");
    ASSERT_EQ(exchange.size(), 1);
    EXPECT_EQ(
        exchange[0].fields.items().mid(2),
        (Fields{{"action", "1"}, {"channel", "2"}, {"productid", "P1001"}, {"name", "10元话费"}}));
    EXPECT_EQ(points(), before - 1000);
    // The shown balance changes only once the success is acknowledged.
    EXPECT_EQ(text(screen->labelOfExchengeable()), QString::number(before));
    pressAlert("确认");
    ASSERT_TRUE(waitFor(
        [&] { return text(screen->labelOfExchengeable()) == QString::number(before - 1000); }));
    // The history lists it first, then the earlier one.
    click(screen->buttonOfExchangeRecord());
    auto* records = qobject_cast<PointsExchangeRecordViewController*>(top());
    ASSERT_NE(records, nullptr);
    ASSERT_TRUE(waitFor([&] { return records->arrayOfExchangeRecord().size() == 2; }));
    const QVariantMap newest = records->arrayOfExchangeRecord()[0].toMap();
    EXPECT_EQ(newest.value("name").toString(), "10元话费");
    EXPECT_EQ(newest.value("point").toString(), "1000");
    EXPECT_TRUE(
        newest.value("date").toString().startsWith(QDate::currentDate().toString("yyyy-MM-dd")));
    EXPECT_EQ(records->nilLabel(), nullptr);
}

TEST_F(PointsScreen, ADroppedExchangeReachesTheServerOnce) {
    auto* screen = open();
    const qint64 before = points();
    sandbox.setFault("ExchangePoint", sandbox::Fault::drop());
    sandbox.clearRequests();
    pick(screen, 0);
    pressAlert("确认");
    expectDroppedOnce("ExchangePoint");
    EXPECT_EQ(points(), before); // the drop happened before the sandbox ran it
}

// A refused exchange says why and stops there: no success, no new query, points as they were.
TEST_F(PointsScreen, ARefusedExchangeShowsWhyAndAsksNothingMore) {
    const struct {
        const char* what;
        sandbox::Fault fault;
        QString said;
    } cases[] = {
        {"refused", sandbox::Fault::result(6, "该产品已兑完"), "该产品已兑完"},
        {"not JSON", sandbox::Fault::html500(), "请求超时"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sandbox.clearFaults();
        auto* screen = open();
        const QString shown = text(screen->labelOfExchengeable());
        const qint64 before = points();
        sandbox.setFault("ExchangePoint", c.fault);
        sandbox.clearRequests();
        pick(screen, 0);
        pressAlert("确认");
        ASSERT_TRUE(waitFor([&] { return alertMessage() == c.said; }));
        pressAlert("确定");
        settle();
        EXPECT_TRUE(alertMessage().isEmpty()); // no "兑换成功" behind it
        const auto asked = sandbox.requestsTo("ExchangePoint");
        ASSERT_EQ(asked.size(), 1);
        EXPECT_EQ(asked[0].fields.value("action"), "1");
        EXPECT_EQ(points(), before);
        EXPECT_EQ(text(screen->labelOfExchengeable()), shown);
    }
}

TEST_F(PointsScreen, LooselyTypedRepliesNeverCrash) {
    const struct {
        const char* what;
        QByteArray reply;
        QString available, willExpire;
        int products;
        double gridHeight;
    } cases[] = {
        {"number", R"({"result":0,"available":120,"list":[{"value":"1"}]})", "120", "0", 1, 78},
        {"text", R"({"result":0,"available":"350","willInvalid":"","list":[]})", "350", "0", 0, 0},
        {"missing", R"({"result":0,"willInvalid":"12","list":{"a":1}})", "0", "12", 0, 0},
        {"fraction", R"({"result":0,"available":12.5,"list":"none"})", "12.5", "0", 0, 0},
        {"object", R"({"result":0,"available":{"x":1}})", "0", "0", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        scripted().setFallback(ScriptedServer::json(c.reply));
        auto* screen = open();
        EXPECT_EQ(text(screen->labelOfExchengeable()), c.available);
        EXPECT_EQ(text(screen->labelOfWillExpire()), c.willExpire);
        EXPECT_EQ(screen->collectionView()->numberOfItems(), c.products);
        EXPECT_EQ(screen->collectionView()->frame().height(), c.gridHeight);
        EXPECT_TRUE(text(screen->labelOfDesc()).contains("本年度新增积分0"));
    }
}

TEST_F(PointsScreen, AnEmptyHistoryShowsTheEmptyListLabel) {
    signIn("13800000002");
    for (bool refuse : {false, true}) {
        SCOPED_TRACE(refuse);
        if (refuse) sandbox.setFault("ExchangePoint", sandbox::Fault::result(6, "暂不可用"));
        auto* screen = show(new PointsExchangeRecordViewController);
        ASSERT_TRUE(waitFor([&] { return screen->nilLabel() != nullptr; }));
        EXPECT_EQ(screen->nilLabel()->text(), "对不起，暂时没查询到相关数据");
        EXPECT_EQ(screen->tableViewOfExchangeRecord()->numberOfRowsInSection(0), 0);
        EXPECT_EQ(alertMessage(), refuse ? "暂不可用" : "");
    }
}

} // namespace
