#include "FlowHarness.h"

#include "platform/foundation/DateFormat.h"
#include "platform/ui/Button.h"
#include "screens/usage/FlowFormat.h"
#include "screens/usage/FlowMonStatsCell.h"
#include "screens/usage/FlowMonStatsController.h"
#include "widgets/MonthlyLineChartView.h"
#include "widgets/RecordingCanvas.h"

#include <QDate>
#include <cmath>

namespace flow_test {
namespace {

class MonthlyUsageTest : public FlowHarness {
protected:
    void TearDown() override {
        ns::DateFormat::setNowOverride(QDateTime());
        FlowHarness::TearDown();
    }
    FlowMonStatsController* openMonthly() {
        return open<FlowMonStatsController>("Flow", "FlowMonStatsController");
    }
    // Opens the screen and waits for the usage and the first bill.
    FlowMonStatsController* openLoaded() {
        FlowMonStatsController* screen = openMonthly();
        EXPECT_TRUE(waitUntil([&] {
            return !screen->respArrayOfBill().isEmpty() &&
                   !screen->respArrayOfMonthDesc().isEmpty();
        }));
        return screen;
    }
    static QString monthBack(int back) {
        const QDate today = QDate::currentDate();
        return QDate(today.year(), today.month(), 1).addMonths(-back).toString("yyyyMM");
    }
    static QString caption(const QString& month) {
        return FlowFormat::monthName(month) + "流量账单";
    }
    static FlowMonStatsCell* rowOf(FlowMonStatsController* screen, int row) {
        return qobject_cast<FlowMonStatsCell*>(
            screen->tableOfMonthDesc()->cellForRowAtIndexPath(ui::IndexPath::forRow(row, 0)));
    }
};

TEST_F(MonthlyUsageTest, LoadsUsageAndLastMonthsBillIntoRowsAndChart) {
    FlowMonStatsController* screen = openLoaded();
    EXPECT_EQ(interfaceOrder().mid(0, 3), (QStringList{"GPRSMonthly", "PersonalInfo", "FlowBill"}));
    EXPECT_EQ(fieldsOf("GPRSMonthly"), QList<Fields>{Fields{}});
    EXPECT_EQ(fieldsOf("FlowBill"), (QList<Fields>{Fields{{"date", monthBack(1)}}}));
    EXPECT_EQ(screen->billMonth(), monthBack(1));
    EXPECT_EQ(screen->hintBillMonth()->text(), caption(monthBack(1)));

    // Last month's bill: the demo line's plan at its fee.
    ASSERT_EQ(screen->respArrayOfBill().size(), 1);
    EXPECT_EQ(screen->totalFee(), "50.00");
    EXPECT_EQ(screen->totalLabel()->text(), "总计：50.00元");
    FlowMonStatsCell* row = rowOf(screen, 0);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->labelOfName()->text().trimmed(), "流量套餐1G");
    EXPECT_EQ(row->labelOfAmount()->text(), "50元");
    const int percent = screen->respArrayOfBill()[0].toMap().value("percentage").toInt();
    EXPECT_EQ(row->labelOfPercent()->text(), QString("实际使用：%1%").arg(percent));
    EXPECT_FLOAT_EQ(row->mySlider()->value(), 1 - percent / 100.0f);

    // The chart: six months, this month first, whole MB.
    const QVariantList months = screen->respArrayOfMonthDesc();
    ASSERT_EQ(months.size(), 6);
    MonthlyLineChartView* chart = screen->lineChartView();
    ASSERT_EQ(chart->plots().size(), 1);
    ASSERT_EQ(chart->xAxisValues().size(), 6);
    EXPECT_EQ(chart->xAxisValues()[0], "本月");
    EXPECT_EQ(chart->xAxisValues()[1], FlowFormat::monthName(monthBack(1)));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(chart->plots()[0].plottingValues()[i].toString(),
                  QString::number(months[5 - i].toMap().value("amount").toLongLong() / 1024));
    RecordingCanvas canvas;
    chart->draw(canvas, chart->bounds());
    EXPECT_TRUE(canvas.findText("本月"));

    // The average of the five whole months, its number in green.
    qint64 past = 0;
    for (int i = 0; i < 5; ++i)
        past += months[i].toMap().value("amount").toLongLong();
    const FlowFormat::Amount average = FlowFormat::amountOfKb(double(past / 5));
    EXPECT_EQ(screen->averageFlow()->text(), average.number + average.unit);
    EXPECT_EQ(screen->averageFlow()->attributedText().attributesAtIndex(0).foregroundColor,
              QColor(45, 152, 88));
}

TEST_F(MonthlyUsageTest, MonthButtonsAskForTheirMonthsBill) {
    FlowMonStatsController* screen = openLoaded();
    for (int k : {3, 6, 2}) {
        SCOPED_TRACE(k);
        click(screen->buttonOfMonth(k));
        ASSERT_TRUE(
            waitUntil([&] { return screen->hintBillMonth()->text() == caption(monthBack(k)); }));
        EXPECT_EQ(fieldsOf("FlowBill").last(), (Fields{{"date", monthBack(k)}}));
        EXPECT_EQ(screen->buttonOfMonth(k)->currentTitleColor(), QColor(Qt::white));
        EXPECT_EQ(screen->buttonOfMonth(1)->currentTitleColor(), QColor(70, 140, 202));
    }
    // A press of anything but the six buttons asks for nothing.
    const qsizetype asked = fieldsOf("FlowBill").size();
    for (int tag : {1000, 1007, 0, -5}) {
        ui::Button stray;
        stray.setTag(tag);
        screen->buttonOfMonthPressed(&stray);
    }
    screen->buttonOfMonthPressed(nullptr);
    settle();
    EXPECT_EQ(fieldsOf("FlowBill").size(), asked);
    EXPECT_EQ(screen->billMonth(), monthBack(2));
}

TEST_F(MonthlyUsageTest, ALateBillForAnEarlierChoiceNeverReplacesTheLatest) {
    FlowMonStatsController* screen = openLoaded();
    sandbox.setFault("FlowBill", sandbox::Fault::delay(5000));
    click(screen->buttonOfMonth(4));
    ASSERT_TRUE(waitUntil([&] { return fieldsOf("FlowBill").size() == 2; }));
    sandbox.clearFault("FlowBill");
    // The loading overlay covers the buttons now; the choice must hold without counting on it.
    screen->buttonOfMonthPressed(screen->buttonOfMonth(5));
    ASSERT_TRUE(
        waitUntil([&] { return screen->hintBillMonth()->text() == caption(monthBack(5)); }));
    const QVariantList rows = screen->respArrayOfBill();
    clock.clock.advance(6000);
    settle();
    waitUntil([] { return false; }, 200);
    EXPECT_EQ(screen->hintBillMonth()->text(), caption(monthBack(5)));
    EXPECT_EQ(screen->respArrayOfBill(), rows);
    EXPECT_EQ(screen->billMonth(), monthBack(5));
}

TEST_F(MonthlyUsageTest, BeforeTheBillArrivesTheTotalIsNothing) {
    sandbox.setFault("FlowBill", sandbox::Fault::delay(5000));
    FlowMonStatsController* screen = openMonthly();
    ASSERT_TRUE(waitUntil([&] { return !screen->respArrayOfMonthDesc().isEmpty(); }));
    ASSERT_TRUE(screen->totalLabel());
    EXPECT_EQ(screen->totalLabel()->text(), "总计：0元");
    EXPECT_EQ(screen->hintBillMonth()->text(), QString());
    clock.clock.advance(5000);
    ASSERT_TRUE(waitUntil([&] { return !screen->respArrayOfBill().isEmpty(); }));
    EXPECT_EQ(screen->totalLabel()->text(), "总计：50.00元");
}

TEST_F(MonthlyUsageTest, InJanuaryTheButtonsReachBackIntoLastYear) {
    ns::DateFormat::setNowOverride(QDateTime(QDate(2027, 1, 15), QTime(10, 0)));
    FlowMonStatsController* screen = openMonthly();
    EXPECT_EQ(screen->arrayOfDate(), (QStringList{"12月", "11月", "10月", "09月", "08月", "07月"}));
    EXPECT_EQ(screen->dicOfYM().value("12").toString(), "202612");
    EXPECT_EQ(screen->dicOfYM().value("07").toString(), "202607");
    EXPECT_EQ(screen->buttonOfMonth(6)->currentTitle(), "07月");
    EXPECT_EQ(screen->billMonth(), "202612");
    EXPECT_EQ(screen->currentMon(), "01");
}

TEST_F(MonthlyUsageTest, RepliesUsedAsDataAreCheckedFirst) {
    const struct {
        const char* why;
        QByteArray monthly, personal, bill;
        int months;      // monthly entries taken
        QString plan;    // plan label
        QString average; // average label
        int rows;        // bill rows taken
        QString total;   // totalFee
        QString message; // alert shown
    } cases[] = {
        {"all accepted", R"({"result":0,"list":[{"date":"01","amount":2048}],"average":2048})",
         R"({"curflow":"流量套餐1G"})", R"({"result":0,"list":[{"productName":"套餐"}]})", 1,
         "流量套餐1G", "2.00MB", 1, "0", QString()},
        {"refused answers are not data",
         R"({"result":9999,"msg":"x","list":[{"date":"01","amount":2048}],"average":2048})",
         R"({"result":1,"curflow":"错误套餐"})", R"({"result":0,"list":[],"totalCost":12.5})", 0,
         QString(), QString(), 0, "12.5", QString()},
        {"lists that are not lists", R"({"result":0,"list":{"date":"01"},"average":2048})",
         R"({"result":0})", R"({"result":0,"list":"none","totalCost":"3"})", 0, QString(),
         QString(), 0, "0", "查询失败"},
        {"an average that is not a number", R"({"result":0,"list":[],"average":"nan"})",
         R"({"result":0,"curflow":7})",
         R"({"result":0,"list":[{"productName":"包","percentage":"abc"}]})", 0, "7",
         FlowFormat::amountOfKb(0).number + FlowFormat::amountOfKb(0).unit, 1, "0", QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        script("GPRSMonthly", c.monthly);
        script("PersonalInfo", c.personal);
        script("FlowBill", c.bill);
        const qsizetype before = scripted()->requests().size();
        FlowMonStatsController* screen = openMonthly();
        ASSERT_TRUE(scripted()->waitForRequests(int(before) + 3));
        waitUntil([&] { return alertCount() > 0; }, 300);
        EXPECT_EQ(screen->respArrayOfMonthDesc().size(), c.months);
        EXPECT_EQ(screen->suitName()->text(), c.plan);
        EXPECT_EQ(screen->averageFlow()->text(), c.average);
        EXPECT_EQ(screen->respArrayOfBill().size(), c.rows);
        EXPECT_EQ(screen->totalFee(), c.total);
        EXPECT_EQ(alertMessage(), c.message);
        closeWindow();
    }
}

TEST_F(MonthlyUsageTest, BillRowsShowTheShareLeftWithinTheBar) {
    const struct {
        QVariantMap row;
        float slider;
        QString percent, fee;
    } cases[] = {
        {{{"productName", "套餐"}, {"percentage", 30}, {"fee", "20"}}, 0.7f, "30", "20元"},
        {{{"productName", "套餐"}, {"percentage", "100"}}, 0.0f, "100", "0元"},
        {{{"productName", "套餐"}, {"percentage", 150}, {"fee", 5}}, 0.0f, "150", "5元"},
        {{{"productName", "套餐"}, {"percentage", -20}}, 1.0f, "-20", "0元"},
        {{{"productName", "套餐"}}, 1.0f, "", "0元"},
    };
    for (const auto& c : cases) {
        FlowMonStatsCell cell;
        cell.setCellData(c.row);
        EXPECT_FLOAT_EQ(cell.mySlider()->value(), c.slider) << c.percent.toStdString();
        EXPECT_EQ(cell.labelOfPercent()->text(), "实际使用：" + c.percent + "%");
        EXPECT_EQ(cell.labelOfAmount()->text(), c.fee);
    }
}

TEST_F(MonthlyUsageTest, MonthNamesAndAmountSplits) {
    const struct {
        QString month, name;
    } months[] = {{"202603", "3月"}, {"202611", "11月"}, {"03", "3月"}, {"7", "7月"}, {"", "月"}};
    for (const auto& m : months)
        EXPECT_EQ(FlowMonStatsController::getBillMonthHint(m.month), m.name)
            << m.month.toStdString();
    const struct {
        QString text, number, unit;
    } splits[] = {{"1.25GB", "1.25", "GB"}, {"B", "B", ""}, {"", "", ""}, {"KB", "", "KB"}};
    for (const auto& s : splits) {
        const FlowFormat::Amount a = FlowFormat::splitAmount(s.text);
        EXPECT_EQ(a.number, s.number) << s.text.toStdString();
        EXPECT_EQ(a.unit, s.unit) << s.text.toStdString();
    }
    const FlowFormat::Amount nan = FlowFormat::amountOfKb(std::nan(""));
    EXPECT_TRUE(nan.number.isEmpty() && nan.unit.isEmpty());
}

} // namespace
} // namespace flow_test
