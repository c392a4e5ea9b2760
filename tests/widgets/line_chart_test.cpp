#include "widgets/DailyLineChartView.h"
#include "widgets/MonthlyLineChartView.h"
#include "widgets/RecordingCanvas.h"

#include <gtest/gtest.h>

namespace {

using Seg = RecordingCanvas::Segment;

// Advances in the recording canvas are half the font size: 7 at 14, 5 at 10.
constexpr double kA14 = 7;
constexpr double kA10 = 5;
const QColor kBlue(90, 155, 200);

// A chart as the daily screen sets it up: 320 x 200, one unit of value per 40 points.
template <typename Chart>
std::unique_ptr<Chart> chartWith(const QVariantList& values, const QStringList& labels = {}) {
    auto chart = std::make_unique<Chart>(QRectF(0, 0, 320, 200));
    chart->setInterval(1);
    chart->setXAxisValues(labels);
    if (!values.isEmpty()) {
        UsagePlot plot;
        plot.setPlottingValues(values);
        plot.setLineColor(QColor(10, 20, 30));
        plot.setLineWidth(2);
        chart->addPlot(plot);
    }
    return chart;
}

template <typename Chart> RecordingCanvas record(Chart& chart) {
    RecordingCanvas canvas;
    chart.draw(canvas, chart.bounds());
    return canvas;
}

QList<QPointF> points(const RecordingCanvas::Stroke& stroke) {
    QList<QPointF> list;
    for (const Seg& s : stroke.segments)
        list.append(s.point);
    return list;
}

// The first text drawn as `text`, at `origin`, in `color` (white when none is named).
void expectText(const RecordingCanvas& canvas, const char* text, QPointF origin,
                QColor color = Qt::white) {
    const auto* found = canvas.findText(QString::fromUtf8(text));
    ASSERT_TRUE(found) << text;
    EXPECT_EQ(found->origin, origin) << text;
    EXPECT_EQ(found->color, color) << text;
}

TEST(DailyLineChart, DrawsInAFlippedSpace) {
    auto chart = chartWith<DailyLineChartView>({});
    RecordingCanvas canvas = record(*chart);
    EXPECT_EQ(canvas.transform().map(QPointF(0, 0)), QPointF(0, 200));
    EXPECT_EQ(canvas.transform().map(QPointF(10, 30)), QPointF(10, 170));
}

TEST(DailyLineChart, WithoutPlotsOnlyASolidAxisAndTheLabels) {
    auto chart = chartWith<DailyLineChartView>({}, {"1", "03-07"});
    RecordingCanvas canvas = record(*chart);
    ASSERT_EQ(canvas.strokes().size(), 1);
    const auto& axis = canvas.strokes().at(0);
    EXPECT_TRUE(axis.dash.isEmpty());
    EXPECT_DOUBLE_EQ(axis.width, 1);
    EXPECT_EQ(axis.color, chart->xAxisFontColor());
    EXPECT_EQ(points(axis), (QList<QPointF>{{35, 30}, {320, 30}}));
    // Labels sit at x(i) = 35 + (i + 1) * 50, baseline 15 - 8; one with "-" is centred.
    ASSERT_EQ(canvas.texts().size(), 2);
    EXPECT_EQ(canvas.texts()[0].origin, QPointF(85 - kA14, 7));
    EXPECT_EQ(canvas.texts()[1].origin, QPointF(135 - 5 * kA14 / 2, 7));
    EXPECT_EQ(canvas.texts()[1].fontName, QStringLiteral("STHeitiSC-Light"));
    EXPECT_TRUE(canvas.images().isEmpty());
    // An empty series is not added.
    chart->addPlot(UsagePlot());
    EXPECT_TRUE(chart->plots().isEmpty());
}

TEST(DailyLineChart, PolylineMarkersAndVerticals) {
    auto chart = chartWith<DailyLineChartView>({"1", "2.5", "0"});
    RecordingCanvas canvas = record(*chart);
    const double y0 = 30 + 40, y1 = 30 + 2.5 * 40, y2 = 30;
    // Polyline, three verticals, axis.
    ASSERT_EQ(canvas.strokes().size(), 5);
    const auto& line = canvas.strokes()[0];
    EXPECT_EQ(line.color, QColor(10, 20, 30));
    EXPECT_DOUBLE_EQ(line.width, 2);
    EXPECT_EQ(line.segments[0].kind, Seg::Move);
    EXPECT_EQ(points(line), (QList<QPointF>{{85, y0}, {135, y1}, {185, y2}}));
    for (int j = 0; j < 3; ++j) {
        const auto& v = canvas.strokes()[1 + j];
        EXPECT_EQ(v.dash, (QList<double>{3, 3}));
        EXPECT_DOUBLE_EQ(v.width, 0.5);
        EXPECT_EQ(points(v), (QList<QPointF>{{85 + 50. * j, 30}, {85 + 50. * j, 190}}));
    }
    // The dash outlives the markers: the axis is dashed too.
    EXPECT_EQ(canvas.strokes()[4].dash, (QList<double>{3, 3}));

    // Today: green marker, bubble, caption, white value and unit; other points blue.
    EXPECT_EQ(canvas.imagesNamed("hint_green.png").value(0).rect, QRectF(73, y0 - 12, 24, 24));
    EXPECT_EQ(canvas.imagesNamed("bg_flowtoday.png").value(0).rect, QRectF(61, y0 + 20, 47, 40));
    EXPECT_EQ(canvas.imagesNamed("hint_blue.png").size(), 2);
    expectText(canvas, "今天", QPointF(85 - kA14, y0 + 45));
    expectText(canvas, "1", QPointF(80 - kA14 / 2, y0 + 30));
    expectText(canvas, "2.5", QPointF(130 - 3 * kA14 / 2, y1 + 18), kBlue);
}

TEST(DailyLineChart, UnitFollowsTheValueLabelsHalfWidth) {
    auto chart = chartWith<DailyLineChartView>({"0", "1234"});
    RecordingCanvas canvas = record(*chart);
    // Four characters centred on x - 5: h = 2a = 14.
    EXPECT_DOUBLE_EQ(canvas.findText("1234")->origin.x(), 135 - 5 - 2 * kA14);
    QList<double> unitX;
    for (const auto& t : canvas.texts())
        if (t.text == "M") unitX.append(t.origin.x());
    ASSERT_EQ(unitX.size(), 2);
    EXPECT_DOUBLE_EQ(unitX[1], 135 - 5 + 2 * 14 + 4 - kA10 / 2);
}

TEST(DailyLineChart, ScrolledOutPointsAreHiddenAndTheLineEntersAtTheEdge) {
    auto chart = chartWith<DailyLineChartView>({"1", "2", "3"});
    chart->setContentScroll(QPointF(-60, 0)); // x(0) = 25 < 35
    RecordingCanvas canvas = record(*chart);
    EXPECT_FALSE(canvas.findText("今天"));
    EXPECT_TRUE(canvas.imagesNamed("bg_flowtoday.png").isEmpty());
    const auto& line = canvas.strokes()[0];
    EXPECT_EQ(line.segments[0].kind, Seg::Move);
    // Enters at the next value's height.
    EXPECT_EQ(points(line).mid(0, 2), (QList<QPointF>{{35, 30 + 2 * 40}, {75, 30 + 2 * 40}}));
    // A zero interval keeps every point finite.
    chart->setInterval(0);
    EXPECT_TRUE(std::isfinite(record(*chart).strokes()[0].segments[0].point.y()));
}

TEST(DailyLineChart, DragsKeepTheOffsetWithinTheContent) {
    const struct {
        int labels;
        double startX;
        QPointF delta;
        double expectedX;
    } cases[] = {{31, 0, {-100, 0}, -100},
                 {31, 0, {40, 0}, 0},
                 {31, -1300, {-500, 0}, -(50 * 34 - 320)},
                 {31, -10, {0, 80}, -10},
                 // Content that fits never scrolls, and is never pushed right.
                 {0, 0, {-100, 0}, 0},
                 {3, 0, {-30, 0}, 0},
                 {3, 0, {30, 0}, 0},
                 {4, 0, {-100, 0}, -30}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.labels << " labels from " << c.startX << " by "
                                        << c.delta.x() << "," << c.delta.y());
        DailyLineChartView chart(QRectF(0, 0, 320, 200));
        QStringList labels;
        for (int i = 0; i < c.labels; ++i)
            labels << QString::number(i);
        chart.setXAxisValues(labels);
        chart.setContentScroll(QPointF(c.startX, 0));
        chart.touchesMoved(QPointF(100, 100) + c.delta, QPointF(100, 100));
        EXPECT_EQ(chart.contentScroll(), QPointF(c.expectedX, 0));
    }
}

TEST(MonthlyLineChart, ValueLabelsCarryTheirUnit) {
    const std::pair<QVariant, QString> cases[] = {
        {"1024", "1024M"}, {"1025", "1G"}, {"2047", "1G"}, {"2048", "2G"},
        {"12.5", "12.5M"}, {0, "0M"},      {"abc", "abcM"}};
    for (const auto& [value, label] : cases)
        EXPECT_EQ(MonthlyLineChartView::valueLabel(value), label) << value.toString().toStdString();
}

TEST(MonthlyLineChart, PointsSitBetweenTheVerticals) {
    auto chart = chartWith<MonthlyLineChartView>({"100", "2048"}, {"1月", "2月"});
    chart->setAxisLeftLineWidth(0);
    chart->setInterval(100);
    RecordingCanvas canvas = record(*chart);
    const double y0 = 30 + 40;
    EXPECT_EQ(canvas.strokes()[0].segments[0].point, QPointF(27, y0));
    // The first point's vertical stands at 54 and reaches the top.
    EXPECT_EQ(points(canvas.strokes()[1]), (QList<QPointF>{{54, 30}, {54, 200}}));
    EXPECT_EQ(canvas.imagesNamed("bg_flowtoday.png").value(0).rect, QRectF(4, y0 + 20, 47, 40));
    expectText(canvas, "本月", QPointF(27 - kA14, y0 + 45));
    EXPECT_EQ(canvas.findText("100M")->origin, QPointF(27 - 4 * kA14 / 2, y0 + 30));
    EXPECT_EQ(canvas.findText("2G")->color, kBlue);
    // Axis labels one advance left of x(i), baseline 15 - 10.
    EXPECT_EQ(canvas.findText("2月")->origin, QPointF(81 - kA14, 5));
}

TEST(MonthlyLineChart, HiddenPointsEnterHalfAStepLeftOfTheEdge) {
    auto chart = chartWith<MonthlyLineChartView>({"1", "2"});
    chart->setContentScroll(QPointF(-60, 0));
    RecordingCanvas canvas = record(*chart);
    EXPECT_EQ(canvas.strokes()[0].segments[0].point, QPointF(35 - 27, 30 + 80));
    EXPECT_FALSE(canvas.findText("本月"));
}

TEST(MonthlyLineChart, DraggingChangesNothing) {
    auto chart = chartWith<MonthlyLineChartView>({"1"}, {"a", "b", "c", "d", "e", "f", "g"});
    chart->touchesMoved(QPointF(0, 0), QPointF(200, 50));
    EXPECT_EQ(chart->contentScroll(), QPointF(0, 0));
}

} // namespace
