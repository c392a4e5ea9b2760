#include "SandboxTest.h"

#include <QDate>
#include <QJsonArray>

namespace {

constexpr qint64 kMB = 1024;
constexpr qint64 kGB = 1024 * 1024;
// Ids beyond 32 bits: a client that truncates them orders nothing.
const QString kPack50 = QStringLiteral("8800002000050");
const QString kPack150 = QStringLiteral("8800002000150");
const QString kPlan2G = QStringLiteral("8800001002048");

class FlowUsageTest : public SandboxTest {
protected:
    QJsonObject order(const QString& target, const QString& marketId) {
        return ask("Order", {{"target", target}, {"marketid", marketId}, {"action", "1"}});
    }
    // The entry of a list whose key holds the id.
    static QJsonObject find(const QJsonArray& list, const QString& key, const QString& id) {
        for (const QJsonValue& v : list)
            if (v.toObject().value(key).toString() == id) return v.toObject();
        return {};
    }
    QJsonArray recommendList(const QString& type, int position) {
        for (const QJsonValue& v :
             ask("FlowRecommend", {{"type", type}}).value("maplist").toArray())
            if (v.toObject().value("position").toInt() == position)
                return v.toObject().value("list").toArray();
        return {};
    }
};

TEST_F(FlowUsageTest, BalanceGivesEachLinesFigures) {
    const struct {
        QString number;
        qint64 total, other;
        bool is4g;
    } lines[] = {
        {"13800000001", kGB, (kGB - 256 * kMB) + (500 * kMB - 100 * kMB), true},
        {"13800000002", 500 * kMB, 150 * kMB, false},
        {"13800000003", 2 * kGB, 0, true},
        {"13800000004", 100 * kMB, 0, false},
    };
    for (const auto& line : lines) {
        const QJsonObject reply = as(line.number, "Balance");
        SCOPED_TRACE(line.number.toStdString());
        EXPECT_EQ(resultOf(reply), 0);
        EXPECT_EQ(reply.value("gntytotal").toInteger(), line.total);
        EXPECT_EQ(reply.value("qtll").toInteger(), line.other);
        EXPECT_EQ(reply.value("is_4g").toBool(), line.is4g);
        const qint64 left = reply.value("gntyll").toInteger(-1);
        EXPECT_GE(left, 0);
        EXPECT_LE(left, line.total);
    }
}

TEST_F(FlowUsageTest, APackAddsItsDataAndTheSamePackTwiceInARowIsRefused) {
    const QJsonObject before = ask("Balance");
    const QJsonObject pack =
        find(ask("FlowProduct", {{"position", "0"}}).value("list").toArray(), "productId", kPack50);
    ASSERT_EQ(pack.value("marketId").toString(), "M2000050");
    EXPECT_EQ(pack.value("fee"), QJsonValue(9.9));
    EXPECT_EQ(pack.value("number").toInt(), 0);

    EXPECT_EQ(resultOf(order(kPack50, "M2000050")), 0);
    const QJsonObject after = ask("Balance");
    EXPECT_EQ(after.value("gntytotal").toInteger(),
              before.value("gntytotal").toInteger() + 50 * kMB);
    EXPECT_EQ(after.value("gntyll").toInteger(), before.value("gntyll").toInteger() + 50 * kMB);

    const QJsonObject again = order(kPack50, "M2000050");
    EXPECT_EQ(resultOf(again), 1);
    EXPECT_FALSE(again.value("msg").toString().isEmpty());
    EXPECT_EQ(ask("Balance").value("gntytotal"), after.value("gntytotal"));

    // Another pack in between makes the first orderable again; the count follows.
    EXPECT_EQ(resultOf(order(kPack150, "M2000150")), 0);
    EXPECT_EQ(resultOf(order(kPack50, "M2000050")), 0);
    EXPECT_EQ(find(recommendList("1", 2), "productshortid", kPack50).value("number").toInt(), 2);
    EXPECT_EQ(ask("Balance").value("gntytotal").toInteger(), kGB + 250 * kMB);

    // The month's bill lists the plan and the three packs.
    const QJsonObject bill = ask("FlowBill", {{"date", QDate::currentDate().toString("yyyyMM")}});
    EXPECT_EQ(bill.value("list").toArray().size(), 4);
    // Fees and the total are numbers, with fractions: 50 + 9.9 + 20 + 9.9.
    EXPECT_EQ(bill.value("list")[1].toObject().value("fee"), QJsonValue(9.9));
    EXPECT_EQ(bill.value("totalCost"), QJsonValue(89.8));
}

TEST_F(FlowUsageTest, RefusedOrdersChangeNothing) {
    const QJsonObject before = ask("Balance");
    const struct {
        const char* why;
        QString target, marketId, action;
        qint64 result;
    } cases[] = {
        {"wrong offer", kPack50, "M2000150", "1", 1},
        {"unknown product", "8800009999999", "M2000050", "1", 1},
        {"id cut to 32 bits", QString::number(qint32(8800002000050LL)), "M2000050", "1", 1},
        {"not a number", "abc", "M2000050", "1", 1},
        {"another action", kPack50, "M2000050", "2", 1},
        {"the plan in use", "8800001001024", "M1001024", "1", 1},
    };
    for (const auto& c : cases) {
        const QJsonObject reply =
            ask("Order", {{"target", c.target}, {"marketid", c.marketId}, {"action", c.action}});
        EXPECT_EQ(resultOf(reply), c.result) << c.why;
        EXPECT_FALSE(reply.value("msg").toString().isEmpty()) << c.why;
    }
    EXPECT_EQ(ask("Balance"), before);
}

TEST_F(FlowUsageTest, APlanChangeWaitsForNextMonth) {
    EXPECT_EQ(find(recommendList("1", 1), "productshortid", "8800001001024").value("state").toInt(),
              1);
    EXPECT_EQ(resultOf(order(kPlan2G, "M1002048")), 0);
    EXPECT_EQ(find(recommendList("1", 1), "productshortid", kPlan2G).value("state").toInt(), 2);
    EXPECT_EQ(ask("Balance").value("gntytotal").toInteger(), kGB);
    EXPECT_EQ(resultOf(order(kPlan2G, "M1002048")), 1);
    // 2G/3G lists carry no 4G-only plan.
    EXPECT_TRUE(find(recommendList("0", 1), "productshortid", kPlan2G).isEmpty());
}

TEST_F(FlowUsageTest, UsageListsRunUpToYesterday) {
    const QDate today = QDate::currentDate();
    const QJsonArray days =
        ask("GPRSDaily", {{"count", "30"}, {"date", today.toString("yyyyMMdd")}})
            .value("list")
            .toArray();
    ASSERT_EQ(days.size(), 30);
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(days[i].toObject().value("date").toString(),
                  today.addDays(i - 30).toString("yyyy-MM-dd"));
        EXPECT_GT(days[i].toObject().value("amount").toInteger(), 0);
    }

    const QJsonObject monthly = ask("GPRSMonthly");
    const QJsonArray months = monthly.value("list").toArray();
    ASSERT_EQ(months.size(), 6);
    EXPECT_EQ(months.last().toObject().value("date").toString(), today.toString("MM"));
    qint64 past = 0;
    for (int i = 0; i < 5; ++i)
        past += months[i].toObject().value("amount").toInteger();
    EXPECT_EQ(monthly.value("average").toInteger(), past / 5);

    // A past month's bill: the plan alone, its share matching that month's usage.
    const QDate last = QDate(today.year(), today.month(), 1).addMonths(-1);
    const QJsonObject bill = ask("FlowBill", {{"date", last.toString("yyyyMM")}});
    ASSERT_EQ(bill.value("list").toArray().size(), 1);
    const qint64 used = months[4].toObject().value("amount").toInteger();
    EXPECT_EQ(bill.value("list")[0].toObject().value("percentage").toDouble(),
              double(std::min<qint64>(1000, (used * 1000 + kGB / 2) / kGB)) / 10);
    EXPECT_EQ(bill.value("totalCost"), QJsonValue(50));
}

TEST_F(FlowUsageTest, BadFieldsAreRefused) {
    const struct {
        QString name;
        HttpProbe::Fields fields;
    } cases[] = {
        {"GPRSDaily", {{"count", "x"}}},
        {"GPRSDaily", {{"count", "30"}, {"date", "2026-01-01"}}},
        {"FlowBill", {{"date", "2026"}}},
        {"FlowBill", {{"date", QDate::currentDate().addMonths(1).toString("yyyyMM")}}},
        {"FlowProduct", {{"position", "5"}}},
        {"FlowRecommend", {{"type", "4g"}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(resultOf(ask(c.name, c.fields)), 1) << c.name.toStdString();
}

TEST_F(FlowUsageTest, FreeResourcesListTheLinesAllowances) {
    const QJsonArray list = ask("FreeResourceForOtherList").value("list").toArray();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].toObject().value("total").toInteger(), kGB);
    EXPECT_EQ(list[0].toObject().value("amount").toInteger(), 256 * kMB);
    // An idle-time pack bought this month joins them.
    EXPECT_EQ(resultOf(order("8800003000500", "M3000500")), 0);
    EXPECT_EQ(ask("FreeResourceForOtherList").value("list").toArray().size(), 3);
}

} // namespace
