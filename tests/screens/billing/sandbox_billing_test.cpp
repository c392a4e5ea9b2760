#include "sandbox/BillingData.h"
#include "sandbox/SandboxServer.h"
#include "tests/support/SandboxFixture.h"

#include <QJsonArray>
#include <gtest/gtest.h>

namespace {

class SandboxBilling : public testing::Test {
protected:
    QJsonObject call(const QString& name, QList<QPair<QString, QString>> fields,
                     const QString& number = SandboxFixture::demoNumber()) {
        sandbox::FormFields form{{"session", sandbox.signIn(number)}, {"num", number}};
        for (const auto& f : fields)
            form.append(f.first, f.second);
        return sandbox.server().interfaces().call(name, sandbox.server().backend(), form);
    }
    static qint64 result(const QJsonObject& reply) { return reply.value("result").toInteger(-1); }
    qint64 account(const char* column, const QString& number = SandboxFixture::demoNumber()) {
        return sandbox.account(column, number);
    }
    SandboxFixture sandbox;
};

TEST_F(SandboxBilling, EveryInterfaceChecksTheSession) {
    for (const char* name : {"Bill", "PaymentInfo", "SpecialActivity", "RechargeOffer", "Payment",
                             "Card", "ChargeRecord", "ExchangePoint"}) {
        const QJsonObject reply = sandbox.server().interfaces().call(
            name, sandbox.server().backend(),
            {{"session", "stale"}, {"num", SandboxFixture::demoNumber()}});
        EXPECT_EQ(result(reply), 9999) << name;
    }
}

TEST_F(SandboxBilling, RequestsOutsideTheRulesAreRefused) {
    struct Case {
        const char* what;
        QString name;
        QList<QPair<QString, QString>> fields;
        qint64 result;
        QString msg;
    };
    const Case cases[] = {
        {"bill month malformed", "Bill", {{"ym", "2026-1"}}, 1, "请求参数错误"},
        {"bill month 13", "Bill", {{"ym", "202613"}}, 1, "请求参数错误"},
        {"bill this month", "Bill", {{"ym", "0"}}, 0, "成功"},
        {"payment below 10", "Payment", {{"amount", "9"}}, 1, "充值金额须为10至500元的整数"},
        {"payment above 500", "Payment", {{"amount", "501"}}, 1, "充值金额须为10至500元的整数"},
        {"payment fraction", "Payment", {{"amount", "50.5"}}, 1, "充值金额须为10至500元的整数"},
        {"payment 500", "Payment", {{"amount", "500"}}, 0, "成功"},
        {"unknown card", "Card", {{"cardno", "1"}, {"cardpwd", "1"}}, 1, "充值卡卡号或密码错误"},
        {"points action 3", "ExchangePoint", {{"action", "3"}}, 1, "请求参数错误"},
        {"unknown product",
         "ExchangePoint",
         {{"action", "1"}, {"productid", "X"}},
         1,
         "该产品不存在"},
        {"other campaign", "SpecialActivity", {{"marketId", "1"}}, 1, "暂无活动"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QJsonObject reply = call(c.name, c.fields);
        EXPECT_EQ(result(reply), c.result);
        EXPECT_EQ(reply.value("msg").toString(), c.msg);
    }
}

TEST_F(SandboxBilling, BillTotalsAddUpFromTheirItems) {
    for (const QString& number : {QString("13800000001"), QString("13800000002")}) {
        for (int back = 0; back < 6; ++back) {
            const QString ym =
                back == 0 ? "0"
                          : sandbox::BillingData::monthKey(QDate::currentDate().addMonths(-back));
            const QJsonObject qry = call("Bill", {{"ym", ym}}, number).value("qry").toObject();
            double total = 0;
            for (const QJsonValue& g : qry.value("list").toArray()) {
                double group = 0;
                for (const QJsonValue& i : g.toObject().value("list").toArray())
                    group += i.toObject().value("amount").toString().toDouble();
                EXPECT_NEAR(group, g.toObject().value("amount").toString().toDouble(), 0.001);
                total += group;
            }
            EXPECT_NEAR(total, qry.value("total").toString().toDouble(), 0.001) << ym.toStdString();
            EXPECT_NEAR(qry.value("others_pay").toString().toDouble() +
                            qry.value("actually_pay").toString().toDouble(),
                        total, 0.001);
            EXPECT_EQ(qry.value("family").toArray().size(), 2);
        }
    }
    // A month long past has no bill: nothing to pay.
    const QJsonObject old = call("Bill", {{"ym", "200001"}}).value("qry").toObject();
    EXPECT_EQ(old.value("total").toString(), "0.00");
    EXPECT_TRUE(old.value("list").toArray().isEmpty());
}

TEST_F(SandboxBilling, SumToPayFollowsTheAmount) {
    const QList<QPair<QString, QString>> cases = {
        {"20", "20.00"}, {"100", "98.00"}, {"300", "294.00"}, {"", "0.00"}, {"abc", "0.00"}};
    for (const auto& [amount, pay] : cases)
        EXPECT_EQ(call("RechargeOffer", {{"amount", amount}}).value("amount").toString(), pay)
            << amount.toStdString();
}

TEST_F(SandboxBilling, ExchangeSpendsOnlyPointsThereAre) {
    const QString rich = "13800000003"; // 9020 points
    EXPECT_EQ(result(call("ExchangePoint", {{"action", "1"}, {"productid", "P1004"}}, rich)), 0);
    EXPECT_EQ(account("points", rich), 4020);
    const QJsonObject refused =
        call("ExchangePoint", {{"action", "1"}, {"productid", "P1004"}}, rich);
    EXPECT_EQ(refused.value("msg").toString(), "您的积分不足，无法兑换！");
    EXPECT_EQ(account("points", rich), 4020);
    const QJsonObject query = call("ExchangePoint", {{"action", "0"}, {"channel", "2"}}, rich);
    EXPECT_EQ(query.value("available").toInteger(), 4020);
    const QJsonArray products = query.value("list").toArray();
    ASSERT_EQ(products.size(), 7);
    EXPECT_TRUE(products[0].toObject().value("sign").toBool());
    EXPECT_FALSE(products[3].toObject().value("sign").toBool()); // 5000
    const QJsonArray history =
        call("ExchangePoint", {{"action", "2"}}, rich).value("list").toArray();
    ASSERT_EQ(history.size(), 1);
    EXPECT_EQ(history[0].toObject().value("name").toString(), "500M流量包");
}

TEST_F(SandboxBilling, ReseedingRestoresCardsAndPoints) {
    EXPECT_EQ(
        result(call("Card", {{"cardno", "10000000000000003"}, {"cardpwd", "100000000000000003"}})),
        0);
    EXPECT_EQ(account("balance_fen"), 5830 + 3000);
    const QJsonArray records = call("ChargeRecord", {{"ym", "0"}}).value("list").toArray();
    EXPECT_EQ(records[0].toObject().value("fee_type").toString(), "充值卡");
    EXPECT_EQ(records[0].toObject().value("amount").toString(), "30.00");
    ASSERT_TRUE(sandbox::DemoData::seed(sandbox.server().backend().database()));
    EXPECT_EQ(
        result(call("Card", {{"cardno", "10000000000000003"}, {"cardpwd", "100000000000000003"}})),
        0);
    EXPECT_EQ(call("ChargeRecord", {{"ym", "0"}}).value("list").toArray().size(),
              records.size()); // the first use went with the reseed
}

} // namespace
