#include "FlowHarness.h"

#include "platform/ui/Button.h"
#include "screens/usage/DailyUsedCell.h"
#include "screens/usage/FlowDayStatsController.h"
#include "screens/usage/FlowFormat.h"
#include "screens/usage/FlowMonStatsCell.h"
#include "screens/usage/FlowMonStatsController.h"
#include "screens/usage/OtherFlowCell.h"
#include "screens/usage/OtherFlowController.h"
#include "widgets/DailyLineChartView.h"
#include "widgets/MonthlyLineChartView.h"
#include "widgets/RecordingCanvas.h"

#include <QDate>
#include <cmath>
#include <limits>

namespace flow_test {
namespace {

// The three usage statistics screens: daily, monthly, and the other free resources.
class UsageStats : public FlowHarness {
protected:
    FlowDayStatsController* openDaily() {
        return open<FlowDayStatsController>("Flow", "FlowDayStatsController");
    }
    FlowMonStatsController* openMonthly() {
        return open<FlowMonStatsController>("Flow", "FlowMonStatsController");
    }
    OtherFlowController* openOther() {
        return open<OtherFlowController>("Flow", "OtherFlowController");
    }
    // Opens the monthly screen and waits for the usage and the first bill.
    FlowMonStatsController* openLoaded() {
        FlowMonStatsController* screen = openMonthly();
        EXPECT_TRUE(waitUntil([&] {
            return !screen->respArrayOfBill().isEmpty() &&
                   !screen->respArrayOfMonthDesc().isEmpty();
        }));
        return screen;
    }
    static QString today(const char* pattern) {
        return PublicFunction::getDateWithStringFormat(QString::fromLatin1(pattern));
    }
    static QString monthBack(int back) {
        const QDate today = QDate::currentDate();
        return QDate(today.year(), today.month(), 1).addMonths(-back).toString("yyyyMM");
    }
    static QString caption(const QString& month) {
        return FlowFormat::monthName(month) + "流量账单";
    }
    template <typename Cell> static Cell* rowOf(ui::TableView* table, int row) {
        return qobject_cast<Cell*>(table->cellForRowAtIndexPath(ui::IndexPath::forRow(row, 0)));
    }
};
using DailyUsageTest = UsageStats;
using MonthlyUsageTest = UsageStats;
using FreeResourcesTest = UsageStats;

TEST_F(DailyUsageTest, RowsAndChartFollowTheServersDaysNewestFirst) {
    FlowDayStatsController* screen = openDaily();
    ASSERT_TRUE(waitUntil([&] { return !screen->dispArrayOfDailyUsed().isEmpty(); }));
    const Fields expected = {{"count", "30"}, {"date", today("yyyyMMdd")}};
    EXPECT_EQ(fieldsOf("GPRSDaily"), QList<Fields>{expected});

    // The sandbox has figures up to yesterday: today comes first with nothing used.
    const QVariantList rows = screen->dispArrayOfDailyUsed();
    const QVariantList days = screen->respArrayOfDailyUsed();
    ASSERT_EQ(rows.size(), 31);
    ASSERT_EQ(days.size(), 30);
    EXPECT_EQ(rows[0].toMap().value("date").toString(), today("yyyy-MM-dd"));
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(rows[i + 1], days[i]);
    EXPECT_EQ(
        days[0].toMap().value("date").toString(),
        QDate::fromString(today("yyyy-MM-dd"), "yyyy-MM-dd").addDays(-1).toString("yyyy-MM-dd"));

    auto* first = rowOf<DailyUsedCell>(screen->tableOfDaily(), 0);
    auto* second = rowOf<DailyUsedCell>(screen->tableOfDaily(), 1);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->labelOfDay()->text(), "今天");
    EXPECT_EQ(first->labelOfAmount()->text(), "0.00KB");
    EXPECT_EQ(second->labelOfDay()->text(), days[0].toMap().value("date").toString());
    EXPECT_EQ(second->labelOfAmount()->text(),
              tavrixConfig::formatOfNetworkFlow(days[0].toMap().value("amount").toDouble()));

    // The chart: one point per row, in row order, whole MB.
    DailyLineChartView* chart = screen->lineChartView();
    ASSERT_EQ(chart->plots().size(), 1);
    const QVariantList values = chart->plots()[0].plottingValues();
    ASSERT_EQ(values.size(), 31);
    ASSERT_EQ(chart->xAxisValues().size(), 31);
    qint64 largest = 0;
    for (int i = 0; i < 31; ++i) {
        const qint64 mb = rows[i].toMap().value("amount").toLongLong() / 1024;
        largest = std::max(largest, mb);
        EXPECT_EQ(values[i].toString(), QString::number(mb));
        EXPECT_EQ(chart->xAxisValues()[i], rows[i].toMap().value("date").toString().mid(5));
    }
    EXPECT_EQ(chart->max(), float(2 * largest));
    EXPECT_EQ(chart->interval(), float(2 * largest) / 5);
    RecordingCanvas canvas;
    chart->draw(canvas, chart->bounds());
    EXPECT_TRUE(canvas.findText("今天"));
    EXPECT_TRUE(canvas.findText(chart->xAxisValues()[1]));
    // Drawn again, the chart replaces its line instead of adding one.
    screen->showChart();
    EXPECT_EQ(chart->plots().size(), 1);
}

TEST_F(DailyUsageTest, RepliesThatAreNotDataChangeNothing) {
    const struct {
        const char* why;
        QByteArray body;
        int rows;        // rows shown afterwards
        QString message; // alert shown
    } cases[] = {
        {"no list", R"({"result":0})", 0, "查询失败"},
        {"list is an object", R"({"result":0,"list":{"date":"2026-01-01"}})", 0, "查询失败"},
        {"list is text", R"({"result":0,"list":"none"})", 0, "查询失败"},
        {"error code", R"({"result":5,"msg":"维护中"})", 0, "维护中"},
        {"empty list", R"({"result":0,"list":[]})", 1, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        script("GPRSDaily", c.body);
        FlowDayStatsController* screen = openDaily();
        ASSERT_TRUE(scripted()->waitForRequests(1));
        scripted()->waitForRequests(999, 200);
        ASSERT_TRUE(waitUntil(
            [&] { return alertCount() > 0 || !screen->dispArrayOfDailyUsed().isEmpty(); }));
        EXPECT_EQ(screen->dispArrayOfDailyUsed().size(), c.rows);
        EXPECT_EQ(alertMessage(), c.message);
        EXPECT_EQ(screen->lineChartView()->plots().size(), c.rows ? 1 : 0);
        closeWindow();
    }
}

TEST_F(DailyUsageTest, ChartLabelsAndValuesFromOddDays) {
    const struct {
        const char* why;
        QVariantMap day;
        QString label, value;
        QString row; // the row's amount text
    } cases[] = {
        {"full date", {{"date", "2026-03-09"}, {"amount", 1024}}, "03-09", "1", "1.00MB"},
        {"just under a megabyte",
         {{"date", "2026-03-09"}, {"amount", "1023"}},
         "03-09",
         "0",
         "1023.00KB"},
        {"short date", {{"date", "2026-03"}, {"amount", 2048}}, "03", "2", "2.00MB"},
        {"shorter still", {{"date", "2026"}, {"amount", 0}}, "", "0", "0.00KB"},
        {"no date", {{"amount", 0}}, "", "0", "0.00KB"},
        {"negative amount",
         {{"date", "2026-03-09"}, {"amount", -4096}},
         "03-09",
         "0",
         "-4096.00KB"},
        {"a fraction", {{"date", "2026-03-09"}, {"amount", 1536.5}}, "03-09", "1", "1.50MB"},
        {"the largest integer",
         {{"date", "2026-03-09"}, {"amount", std::numeric_limits<qint64>::max()}},
         "03-09",
         "1099511627776",
         "1073741824.00GB"},
        {"a huge double",
         {{"date", "2026-03-09"}, {"amount", 1e300}},
         "03-09",
         "1099511627776",
         "1073741824.00GB"},
        {"NaN as text", {{"date", "2026-03-09"}, {"amount", "NaN"}}, "03-09", "0", "0.00KB"},
        {"an object",
         {{"date", "2026-03-09"}, {"amount", QVariantMap{{"a", 1}}}},
         "03-09",
         "0",
         "0.00KB"},
    };
    for (const auto& c : cases) {
        const FlowFormat::ChartSeries series = FlowFormat::dailySeries({c.day});
        EXPECT_EQ(series.labels, QStringList{c.label}) << c.why;
        EXPECT_EQ(series.values, QVariantList{c.value}) << c.why;
        EXPECT_GT(series.interval, 0) << c.why;
        EXPECT_TRUE(std::isfinite(series.max)) << c.why;
        DailyUsedCell row;
        row.setDailyData(c.day);
        EXPECT_EQ(row.labelOfAmount()->text(), c.row) << c.why;
    }
}

TEST_F(DailyUsageTest, AnExpiredSessionSendsToLogInOnce) {
    sandbox.expireSessions();
    NotificationCounter toLogin(notification::kPushToLoginVeiw);
    FlowDayStatsController* screen = openDaily();
    ASSERT_TRUE(waitUntil([&] { return alertCount() == 1; }));
    EXPECT_TRUE(screen->dispArrayOfDailyUsed().isEmpty());
    EXPECT_TRUE(ui::AlertCenter::press(0));
    EXPECT_EQ(toLogin.count, 1);
}

TEST_F(MonthlyUsageTest, LoadsUsageAndLastMonthsBillIntoRowsAndChart) {
    FlowMonStatsController* screen = openLoaded();
    EXPECT_EQ(interfaceOrder().mid(0, 3), (QStringList{"GPRSMonthly", "PersonalInfo", "FlowBill"}));
    EXPECT_EQ(fieldsOf("GPRSMonthly"), QList<Fields>{Fields{}});
    EXPECT_EQ(fieldsOf("FlowBill"), (QList<Fields>{Fields{{"date", monthBack(1)}}}));
    EXPECT_EQ(screen->billMonth(), monthBack(1));
    EXPECT_EQ(screen->hintBillMonth()->text(), caption(monthBack(1)));

    // Last month's bill: the demo line's plan at its fee.
    ASSERT_EQ(screen->respArrayOfBill().size(), 1);
    EXPECT_EQ(screen->totalFee(), "50");
    EXPECT_EQ(screen->totalLabel()->text(), "总计：50元");
    auto* row = rowOf<FlowMonStatsCell>(screen->tableOfMonthDesc(), 0);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->labelOfName()->text().trimmed(), "流量套餐1G");
    EXPECT_EQ(row->labelOfAmount()->text(), "50元");
    // The share comes with one decimal (33.3), written as sent.
    const double percent = screen->respArrayOfBill()[0].toMap().value("percentage").toDouble();
    EXPECT_EQ(row->labelOfPercent()->text(), "实际使用：" + QString::number(percent, 'g', 4) + "%");
    EXPECT_FLOAT_EQ(row->mySlider()->value(), float(1 - percent / 100));

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
    clock.clock.advance(6000); // the earlier month's bill would arrive now
    ASSERT_TRUE(waitForRequestsToEnd(screen));
    settle();
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
    EXPECT_EQ(screen->totalLabel()->text(), "总计：50元");
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

TEST_F(MonthlyUsageTest, FractionsOnTheWireAreWrittenAsTheServerWroteThem) {
    script("FlowBill", R"({"result":0,"totalCost":12.3,"list":[)"
                       R"({"productName":"套餐","percentage":33.3,"fee":9.9},)"
                       R"({"productName":"包","percentage":0.1,"fee":0.3}]})");
    script("GPRSMonthly",
           R"({"result":0,"list":[{"date":"01","amount":2048.5}],"average":1536.5})");
    FlowMonStatsController* screen = openMonthly();
    ASSERT_TRUE(waitUntil([&] { return screen->respArrayOfBill().size() == 2; }));
    EXPECT_EQ(screen->totalLabel()->text(), "总计：12.3元");
    const QString shown[][2] = {{"实际使用：33.3%", "9.9元"}, {"实际使用：0.1%", "0.3元"}};
    for (int i = 0; i < 2; ++i) {
        auto* row = rowOf<FlowMonStatsCell>(screen->tableOfMonthDesc(), i);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->labelOfPercent()->text(), shown[i][0]);
        EXPECT_EQ(row->labelOfAmount()->text(), shown[i][1]);
    }
    ASSERT_TRUE(waitUntil([&] { return !screen->averageFlow()->text().isEmpty(); }));
    EXPECT_EQ(screen->averageFlow()->text(), "1.50MB");
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
        // Fractions as the server wrote them; shares no bar can hold stay within it.
        {{{"productName", "套餐"}, {"percentage", 33.3}, {"fee", 9.9}}, 0.667f, "33.3", "9.9元"},
        {{{"productName", "套餐"}, {"percentage", 1e300}}, 0.0f, "1e+300", "0元"},
        {{{"productName", "套餐"}, {"percentage", -1e300}}, 1.0f, "-1e+300", "0元"},
        {{{"productName", "套餐"}, {"percentage", "NaN"}, {"fee", "inf"}}, 1.0f, "NaN", "inf元"},
        {{{"productName", "套餐"},
          {"percentage", QVariantList{50}},
          {"fee", std::numeric_limits<qint64>::max()}},
         1.0f,
         "",
         "9223372036854775807元"},
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

TEST_F(FreeResourcesTest, ListsTheLinesResourcesWithWhatIsLeft) {
    OtherFlowController* screen = openOther();
    ASSERT_TRUE(waitUntil([&] { return screen->respArrayOfWhereUsed().size() == 2; }));
    EXPECT_EQ(fieldsOf("FreeResourceForOtherList"), QList<Fields>{Fields{}});
    EXPECT_FALSE(screen->nilLabel());
    auto* first = rowOf<OtherFlowCell>(screen->tableViewOfFlow(), 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->labelOfName()->text().trimmed(), "校园WLAN免费流量");
    EXPECT_FLOAT_EQ(first->mySlider()->value(), 0.75f);
    EXPECT_EQ(first->labelOfAmount()->text(), "可用流量768.00MB/总共流量1.00GB");
    const ui::AttributedString amount = first->labelOfAmount()->attributedText();
    EXPECT_EQ(amount.attributesAtIndex(4).foregroundColor, QColor(45, 152, 88));
    EXPECT_NE(amount.attributesAtIndex(10).foregroundColor, QColor(45, 152, 88));
}

TEST_F(FreeResourcesTest, NothingToListShowsTheEmptyLabel) {
    const struct {
        const char* why;
        QString number;
        std::optional<sandbox::Fault> fault;
        QByteArray body; // scripted reply instead of the sandbox's
        QString message;
    } cases[] = {
        {"no resources", "13800000004", std::nullopt, {}, ""},
        {"error code", "13800000001", sandbox::Fault::result(3, "暂停服务"), {}, "暂停服务"},
        {"HTML page", "13800000001", sandbox::Fault::html500(), {}, "请求超时"},
        {"array", "13800000001", sandbox::Fault::jsonArray(), {}, "请求超时"},
        {"a list that is not a list", "13800000001", std::nullopt,
         R"({"result":0,"list":{"productName":"x"}})", "查询失败"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        signIn(c.number);
        if (c.fault) sandbox.setFault("FreeResourceForOtherList", *c.fault);
        if (!c.body.isEmpty()) script("FreeResourceForOtherList", c.body);
        OtherFlowController* screen = openOther();
        ASSERT_TRUE(waitUntil([&] { return screen->nilLabel() != nullptr; }));
        waitUntil([&] { return alertCount() > 0; }, c.message.isEmpty() ? 100 : 10000);
        EXPECT_EQ(alertMessage(), c.message);
        EXPECT_EQ(screen->nilLabel()->superview(), screen->tableViewOfFlow());
        EXPECT_EQ(screen->tableViewOfFlow()->numberOfRowsInSection(0), 0);
        EXPECT_TRUE(screen->respArrayOfWhereUsed().isEmpty());
        closeWindow();
    }
}

TEST(FreeResourceRow, ABarNeverLeavesItsTrack) {
    const struct {
        const char* why;
        QVariantMap record;
        float share;
        QString left, total;
    } cases[] = {
        {"a quarter used", {{"amount", 262144}, {"total", 1048576}}, 0.75f, "768.00MB", "1.00GB"},
        {"all used", {{"amount", "2048"}, {"total", "2048"}}, 0.0f, "0.00KB", "2.00MB"},
        {"nothing given", {{"amount", 0}, {"total", 0}}, 0.0f, "0.00KB", "0.00KB"},
        {"overused", {{"amount", 3072}, {"total", 2048}}, 0.0f, "-1024.00KB", "2.00MB"},
        {"negative use", {{"amount", -1024}, {"total", 2048}}, 1.0f, "3.00MB", "2.00MB"},
        {"no figures", {}, 0.0f, "0.00KB", "0.00KB"},
        // Figures a hostile server may send: each is read bounded, so the difference can
        // neither overflow nor wrap into a negative amount.
        {"a total near 2^63 and -1 used",
         {{"amount", -1}, {"total", std::numeric_limits<qint64>::max()}},
         1.0f,
         "1073741824.00GB",
         "1073741824.00GB"},
        {"the smallest integer used",
         {{"amount", std::numeric_limits<qint64>::min()}, {"total", 2048}},
         1.0f,
         "1073741824.00GB",
         "2.00MB"},
        {"huge doubles", {{"amount", 1e300}, {"total", 1e308}}, 0.0f, "0.00KB", "1073741824.00GB"},
        {"NaN and inf as text", {{"amount", "NaN"}, {"total", "inf"}}, 0.0f, "0.00KB", "0.00KB"},
        {"garbage after the digits",
         {{"amount", "12abc"}, {"total", "2048kb"}},
         1 - 12 / 2048.0f,
         "1.99MB",
         "2.00MB"},
        {"an array and an object",
         {{"amount", QVariantList{1, 2}}, {"total", QVariantMap{{"kb", 9}}}},
         0.0f,
         "0.00KB",
         "0.00KB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        OtherFlowCell cell;
        cell.setCellData(c.record);
        EXPECT_FLOAT_EQ(cell.mySlider()->value(), c.share);
        EXPECT_EQ(cell.labelOfAmount()->text(), "可用流量" + c.left + "/总共流量" + c.total);
        EXPECT_GE(cell.mySlider()->thumbCentreX(), 0);
        EXPECT_LE(cell.mySlider()->thumbCentreX(), cell.mySlider()->width());
    }
}

TEST_F(FreeResourcesTest, HostileFiguresOnTheWireAreShownBounded) {
    script("FreeResourceForOtherList",
           R"({"result":0,"list":[)"
           R"({"productName":"a","amount":-1,"total":9223372036854775807},)"
           R"({"productName":"b","amount":-9223372036854775808,"total":"9223372036854775807"},)"
           R"({"productName":"c","amount":1.5e308,"total":-1e308},)"
           R"({"productName":"d","amount":"1e999","total":"99999999999999999999999"},)"
           R"({"productName":"e","amount":[],"total":{"total":1}}]})");
    const QString shown[] = {
        "可用流量1073741824.00GB/总共流量1073741824.00GB",
        // The formatter writes nothing past the largest figure a reply can give.
        "可用流量1073741824.00GB/总共流量1073741824.00GB",
        "可用流量-1125899906842624.00KB/总共流量-1125899906842624.00KB",
        "可用流量1073741824.00GB/总共流量1073741824.00GB",
        "可用流量0.00KB/总共流量0.00KB",
    };
    OtherFlowController* screen = openOther();
    ASSERT_TRUE(waitUntil([&] { return screen->respArrayOfWhereUsed().size() == 5; }));
    for (int row = 0; row < 5; ++row) {
        SCOPED_TRACE(row);
        auto* cell = rowOf<OtherFlowCell>(screen->tableViewOfFlow(), row);
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->labelOfAmount()->text(), shown[row]);
        EXPECT_GE(cell->mySlider()->value(), 0.0f);
        EXPECT_LE(cell->mySlider()->value(), 1.0f);
    }
}

TEST_F(FreeResourcesTest, TheButtonLeadsToThePlanChange) {
    OtherFlowController* screen = openOther();
    ASSERT_TRUE(waitUntil([&] { return !screen->respArrayOfWhereUsed().isEmpty(); }));
    click(screen->buttonOfOrder());
    ASSERT_TRUE(waitUntil([&] { return topScene() == "FlowSuitChangeController"; }));
    EXPECT_EQ(top()->property("dataType").toLongLong(), 1);
}

} // namespace
} // namespace flow_test
