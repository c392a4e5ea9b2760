#include "BillingHarness.h"
#include "screens/billing/RechargeRecordViewController.h"

namespace {

using namespace billing_test;

class RechargeRecordScreen : public BillingHarness {
protected:
    RechargeRecordViewController* open() {
        auto* screen = new RechargeRecordViewController;
        return BillingHarness::open(screen, [=] { return screen->isRechargeRequestSuccess(); });
    }
    // The month's name and sum in the header of a section.
    static QString headerText(RechargeRecordViewController* screen, int section, int index) {
        int seen = 0;
        for (ui::View* v : screen->tableViewOfRecord()->headerViewForSection(section)->subviews())
            if (auto* label = qobject_cast<ui::Label*>(v))
                if (seen++ == index) return label->text();
        return {};
    }
    // Per section: how many records it holds and the sum its header shows.
    static void expectMonths(RechargeRecordViewController* screen, const QList<int>& counts,
                             const QStringList& sums) {
        ASSERT_EQ(screen->tableViewOfRecord()->numberOfSections(), 6);
        for (int s = 0; s < 6; ++s) {
            SCOPED_TRACE(s);
            EXPECT_EQ(screen->getBillListForSection(s).size(), counts[s]);
            EXPECT_EQ(headerText(screen, s, 2), sums[s]);
            // A month without any shows one row: a note.
            EXPECT_EQ(screen->tableViewOfRecord()->numberOfRowsInSection(s), qMax(counts[s], 1));
        }
    }
};

TEST_F(RechargeRecordScreen, ListsTheDemoSubscribersRechargesByMonth) {
    auto* screen = open();
    const auto asked = sandbox.requestsTo("ChargeRecord");
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].fields.items().mid(1), (Fields{{"num", "13800000001"}, {"ym", "0"}}));
    // The first demo subscriber recharged this month, one and three and five months ago.
    expectMonths(screen, {1, 1, 0, 1, 0, 1},
                 {"50.00元", "100.00元", "0.00元", "50.00元", "0.00元", "30.00元"});
    EXPECT_EQ(headerText(screen, 0, 0), "本月");
}

TEST_F(RechargeRecordScreen, ARecordCountsOnlyUnderItsOwnYearAndMonth) {
    ns::DateFormat::setNowOverride(QDateTime(QDate(2027, 1, 20), QTime(12, 0)));
    scripted().setFallback(ScriptedServer::json(R"({"result":0,"list":[
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
    expectMonths(screen, {2, 1, 0, 0, 0, 1},
                 {"55.00元", "20.50元", "0.00元", "0.00元", "0.00元", "0.00元"});
    EXPECT_EQ(headerText(screen, 1, 0), "12月");
    EXPECT_EQ(headerText(screen, 5, 0), "08月");
}

TEST_F(RechargeRecordScreen, HostileAmountsSumToFiniteFigures) {
    ns::DateFormat::setNowOverride(QDateTime(QDate(2027, 1, 20), QTime(12, 0)));
    // Per month: figures past any real amount, their negatives, and what is not a number.
    scripted().setFallback(ScriptedServer::json(R"({"result":0,"list":[
        {"date":"2027-01-03","amount":1e308},
        {"date":"2027-01-04","amount":1.7e308},
        {"date":"2026-12-01","amount":-1e308},
        {"date":"2026-12-02","amount":9223372036854775807},
        {"date":"2026-11-01","amount":"NaN"},
        {"date":"2026-11-02","amount":"inf"},
        {"date":"2026-11-03","amount":[1]},
        {"date":"2026-11-04","amount":{"amount":1}},
        {"date":"2026-10-01","amount":"12.5元"},
        {"date":"2026-10-02","amount":0.1},
        {"date":"2026-10-03","amount":0.2}
    ]})"));
    auto* screen = open();
    expectMonths(screen, {2, 2, 4, 3, 0, 0},
                 {"2251799813685248.00元", "0.00元", "0.00元", "12.80元", "0.00元", "0.00元"});
}

TEST_F(RechargeRecordScreen, ARefusedReplyShowsNoMonths) {
    for (const sandbox::Fault& fault :
         {sandbox::Fault::result(9999, "登录已失效"), sandbox::Fault::result(4, "查询失败"),
          sandbox::Fault::emptyBody(), sandbox::Fault::jsonArray()}) {
        SCOPED_TRACE(sandbox::Fault::kindName(fault.kind).toStdString());
        sandbox.setFault("ChargeRecord", fault);
        auto* screen = open();
        EXPECT_FALSE(alertMessage().isEmpty());
        EXPECT_EQ(screen->tableViewOfRecord()->numberOfSections(), 0);
    }
}

TEST_F(RechargeRecordScreen, MonthsFoldByClicks) {
    auto* screen = open();
    ui::TableView* table = screen->tableViewOfRecord();
    // Clicks so far: rows of the month and height of its header.
    for (const auto& [clicks, rows, height] : {std::tuple{0, 1, 32}, {1, 0, 44}, {2, 1, 32}}) {
        SCOPED_TRACE(clicks);
        // The header is made anew on each fold: find its button each time.
        if (clicks > 0)
            click(table->headerViewForSection(0)->viewWithTag(
                RechargeRecordViewController::kHeaderTagBase));
        EXPECT_EQ(table->numberOfRowsInSection(0), rows);
        EXPECT_EQ(table->rectForHeaderInSection(0).height(), height);
    }
}

} // namespace
