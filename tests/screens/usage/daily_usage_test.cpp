#include "FlowHarness.h"

#include "platform/foundation/DateFormat.h"
#include "screens/usage/DailyUsedCell.h"
#include "screens/usage/FlowDayStatsController.h"
#include "screens/usage/FlowFormat.h"
#include "widgets/DailyLineChartView.h"
#include "widgets/RecordingCanvas.h"

#include <QDate>

namespace flow_test {
namespace {

class DailyUsageTest : public FlowHarness {
protected:
    FlowDayStatsController* openDaily() {
        return open<FlowDayStatsController>("Flow", "FlowDayStatsController");
    }
    static QString today(const char* pattern) {
        return PublicFunction::getDateWithStringFormat(QString::fromLatin1(pattern));
    }
};

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

    auto* first = qobject_cast<DailyUsedCell*>(
        screen->tableOfDaily()->cellForRowAtIndexPath(ui::IndexPath::forRow(0, 0)));
    auto* second = qobject_cast<DailyUsedCell*>(
        screen->tableOfDaily()->cellForRowAtIndexPath(ui::IndexPath::forRow(1, 0)));
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
    } cases[] = {
        {"full date", {{"date", "2026-03-09"}, {"amount", 1024}}, "03-09", "1"},
        {"just under a megabyte", {{"date", "2026-03-09"}, {"amount", "1023"}}, "03-09", "0"},
        {"short date", {{"date", "2026-03"}, {"amount", 2048}}, "03", "2"},
        {"shorter still", {{"date", "2026"}, {"amount", 0}}, "", "0"},
        {"no date", {{"amount", 0}}, "", "0"},
        {"negative amount", {{"date", "2026-03-09"}, {"amount", -4096}}, "03-09", "0"},
    };
    for (const auto& c : cases) {
        const FlowFormat::ChartSeries series = FlowFormat::dailySeries({c.day});
        EXPECT_EQ(series.labels, QStringList{c.label}) << c.why;
        EXPECT_EQ(series.values, QVariantList{c.value}) << c.why;
        EXPECT_GT(series.interval, 0) << c.why;
    }
}

TEST_F(DailyUsageTest, ASecondChartReplacesTheFirst) {
    FlowDayStatsController* screen = openDaily();
    ASSERT_TRUE(waitUntil([&] { return !screen->dispArrayOfDailyUsed().isEmpty(); }));
    screen->showChart();
    screen->showChart();
    EXPECT_EQ(screen->lineChartView()->plots().size(), 1);
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

} // namespace
} // namespace flow_test
