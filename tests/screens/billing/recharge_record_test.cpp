#include "BillingHarness.h"
#include "screens/billing/RechargeRecordViewController.h"
#include "platform/ui/Button.h"
#include "tests/support/ScriptedServer.h"

namespace {

using namespace billing_test;

class RechargeRecordScreen : public BillingHarness {
protected:
    RechargeRecordViewController* open() {
        auto* screen = show(new RechargeRecordViewController);
        EXPECT_TRUE(waitFor(
            [&] { return screen->isRechargeRequestSuccess() || !topAlertMessage().isEmpty(); }));
        return screen;
    }
    static QString headerText(RechargeRecordViewController* screen, int section, int index) {
        ui::View* header = screen->tableViewOfRecord()->headerViewForSection(section);
        int seen = 0;
        for (ui::View* v : header->subviews())
            if (auto* label = qobject_cast<ui::Label*>(v))
                if (seen++ == index) return label->text();
        return {};
    }
};

TEST_F(RechargeRecordScreen, ListsTheDemoSubscribersRechargesByMonth) {
    auto* screen = open();
    const auto asked = sandbox.requestsTo("ChargeRecord");
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].fields.items().mid(1),
              (QList<QPair<QString, QString>>{{"num", "13800000001"}, {"ym", "0"}}));
    ui::TableView* table = screen->tableViewOfRecord();
    ASSERT_EQ(table->numberOfSections(), 6);
    // The first demo subscriber recharged this month, one and three and five months ago.
    const int rows[] = {1, 1, 1, 1, 1, 1};
    const bool has[] = {true, true, false, true, false, true};
    const QString sums[] = {"50.00元", "100.00元", "0.00元", "50.00元", "0.00元", "30.00元"};
    for (int s = 0; s < 6; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(table->numberOfRowsInSection(s), rows[s]); // a month without any: one note
        EXPECT_EQ(screen->getBillListForSection(s).isEmpty(), !has[s]);
        EXPECT_EQ(headerText(screen, s, 2), sums[s]);
    }
    EXPECT_EQ(headerText(screen, 0, 0), "本月");
}

TEST_F(RechargeRecordScreen, ARecordCountsOnlyUnderItsOwnYearAndMonth) {
    ns::DateFormat::setNowOverride(QDateTime(QDate(2027, 1, 20), QTime(12, 0)));
    ScriptedServer server;
    tavrixConfig::setServerBaseAddress(server.baseAddress());
    server.setFallback(ScriptedServer::json(R"({"result":0,"list":[
        {"date":"2027-01-03 10:00:00","amount":"50","fee_type":"银行卡"},
        {"date":"2026-01-05 10:00:00","amount":"70","fee_type":"银行卡"},
        {"date":"2026-12-31 23:59:59","amount":20.5,"fee_type":"充值卡"},
        {"date":"2027-01","amount":"5","fee_type":"营业厅"},
        {"date":"2026-1","amount":"9","fee_type":"营业厅"},
        {"date":"","amount":"9"},
        {"amount":"9"},
        "not a record",
        {"date":"2026-08-01","amount":"abc","fee_type":"银行卡"},
        {"date":"2026-07-31","amount":"100"}
    ]})"));
    auto* screen = open();
    const int counts[] = {2, 1, 0, 0, 0, 1};
    const QString sums[] = {"55.00元", "20.50元", "0.00元", "0.00元", "0.00元", "0.00元"};
    for (int s = 0; s < 6; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(screen->getBillListForSection(s).size(), counts[s]);
        EXPECT_EQ(headerText(screen, s, 2), sums[s]);
    }
    EXPECT_EQ(headerText(screen, 1, 0), "12月");
    EXPECT_EQ(headerText(screen, 5, 0), "08月");
}

TEST_F(RechargeRecordScreen, ARefusedReplyShowsNoMonths) {
    const sandbox::Fault faults[] = {sandbox::Fault::result(9999, "登录已失效"),
                                     sandbox::Fault::result(4, "查询失败"),
                                     sandbox::Fault::emptyBody(), sandbox::Fault::jsonArray()};
    for (const sandbox::Fault& fault : faults) {
        SCOPED_TRACE(sandbox::Fault::kindName(fault.kind).toStdString());
        sandbox.setFault("ChargeRecord", fault);
        auto* screen = open();
        EXPECT_FALSE(topAlertMessage().isEmpty());
        EXPECT_EQ(screen->tableViewOfRecord()->numberOfSections(), 0);
    }
}

TEST_F(RechargeRecordScreen, MonthsFoldByClicks) {
    auto* screen = open();
    ui::TableView* table = screen->tableViewOfRecord();
    auto button = [&](int s) {
        return qobject_cast<ui::Button*>(table->headerViewForSection(s)->viewWithTag(
            RechargeRecordViewController::kHeaderTagBase + s));
    };
    EXPECT_EQ(table->rectForHeaderInSection(0).height(), 32);
    windowinput::click(button(0));
    EXPECT_EQ(table->numberOfRowsInSection(0), 0);
    EXPECT_EQ(table->rectForHeaderInSection(0).height(), 44);
    windowinput::click(button(0));
    EXPECT_EQ(table->numberOfRowsInSection(0), 1);
    EXPECT_EQ(table->rectForHeaderInSection(0).height(), 32);
}

} // namespace
