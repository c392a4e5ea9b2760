#include "widgets/DailyLineChartView.h"
#include "widgets/MonthlyLineChartView.h"
#include "widgets/RecordingCanvas.h"

#include <QTransform>
#include <gtest/gtest.h>
#include <ostream>

namespace {

using Seg = RecordingCanvas::Segment;

// Advances in the recording canvas are half the font size: 7 at 14, 5 at 10.
constexpr double kA14 = 7;
constexpr double kA10 = 5;
const QColor kBlue(90, 155, 200);

UsagePlot plotOf(const QVariantList& values) {
    UsagePlot plot;
    plot.setPlottingValues(values);
    plot.setLineColor(QColor(10, 20, 30));
    plot.setLineWidth(2);
    return plot;
}

// A chart as the daily screen sets it up: 320 x 200, one unit of value per 40 points.
template <typename Chart>
std::unique_ptr<Chart> chartWith(const QVariantList& values, const QStringList& labels = {}) {
    auto chart = std::make_unique<Chart>(QRectF(0, 0, 320, 200));
    chart->setInterval(1);
    chart->setXAxisValues(labels);
    if (!values.isEmpty()) chart->addPlot(plotOf(values));
    return chart;
}

template <typename Chart> RecordingCanvas record(Chart& chart) {
    RecordingCanvas canvas;
    chart.draw(canvas, chart.bounds());
    return canvas;
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
    ASSERT_EQ(axis.segments.size(), 2);
    EXPECT_EQ(axis.segments[0].point, QPointF(35, 30));
    EXPECT_EQ(axis.segments[1].point, QPointF(320, 30));
    // Labels sit at x(i) = 35 + (i + 1) * 50, baseline 15 - 8; one with "-" is centred.
    ASSERT_EQ(canvas.texts().size(), 2);
    EXPECT_EQ(canvas.texts()[0].origin, QPointF(85 - kA14, 7));
    EXPECT_EQ(canvas.texts()[1].origin, QPointF(135 - 5 * kA14 / 2, 7));
    EXPECT_EQ(canvas.texts()[1].fontName, QStringLiteral("STHeitiSC-Light"));
    EXPECT_TRUE(canvas.images().isEmpty());
}

TEST(DailyLineChart, EmptySeriesAreNotAdded) {
    DailyLineChartView chart;
    chart.addPlot(UsagePlot());
    EXPECT_TRUE(chart.plots().isEmpty());
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
    ASSERT_EQ(line.segments.size(), 3);
    EXPECT_EQ(line.segments[0].kind, Seg::Move);
    EXPECT_EQ(line.segments[0].point, QPointF(85, y0));
    EXPECT_EQ(line.segments[1].point, QPointF(135, y1));
    EXPECT_EQ(line.segments[2].point, QPointF(185, y2));
    for (int j = 0; j < 3; ++j) {
        const auto& v = canvas.strokes()[1 + j];
        EXPECT_EQ(v.dash, (QList<double>{3, 3}));
        EXPECT_DOUBLE_EQ(v.width, 0.5);
        EXPECT_EQ(v.segments[0].point, QPointF(85 + 50 * j, 30));
        EXPECT_EQ(v.segments[1].point, QPointF(85 + 50 * j, 190));
    }
    // The dash outlives the markers: the axis is dashed too.
    EXPECT_EQ(canvas.strokes()[4].dash, (QList<double>{3, 3}));

    // Today: green marker, bubble, caption, white value and unit.
    EXPECT_EQ(canvas.imagesNamed("hint_green.png").value(0).rect, QRectF(73, y0 - 12, 24, 24));
    EXPECT_EQ(canvas.imagesNamed("bg_flowtoday.png").value(0).rect, QRectF(61, y0 + 20, 47, 40));
    EXPECT_EQ(canvas.imagesNamed("hint_blue.png").size(), 2);
    const auto* today = canvas.findText("今天");
    ASSERT_TRUE(today);
    EXPECT_EQ(today->origin, QPointF(85 - kA14, y0 + 45));
    EXPECT_EQ(today->color, QColor(Qt::white));
    const auto* first = canvas.findText("1");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->color, QColor(Qt::white));
    EXPECT_EQ(first->origin, QPointF(80 - kA14 / 2, y0 + 30));
    // Other points: blue value, grey unit.
    const auto* second = canvas.findText("2.5");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->color, kBlue);
    EXPECT_EQ(second->origin, QPointF(130 - 3 * kA14 / 2, y1 + 18));
}

TEST(DailyLineChart, UnitFollowsTheValueLabelsHalfWidth) {
    auto chart = chartWith<DailyLineChartView>({"0", "1234"});
    RecordingCanvas canvas = record(*chart);
    const auto* value = canvas.findText("1234");
    ASSERT_TRUE(value);
    // Four characters centred on x - 5: h = 2a = 14.
    EXPECT_DOUBLE_EQ(value->origin.x(), 135 - 5 - 2 * kA14);
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
    EXPECT_EQ(line.segments[0].point, QPointF(35, 30 + 2 * 40)); // the next value's height
    EXPECT_EQ(line.segments[1].point, QPointF(75, 30 + 2 * 40));
}

TEST(DailyLineChart, ZeroIntervalStaysFinite) {
    auto chart = chartWith<DailyLineChartView>({"3"});
    chart->setInterval(0);
    RecordingCanvas canvas = record(*chart);
    EXPECT_TRUE(std::isfinite(canvas.strokes()[0].segments[0].point.y()));
}

struct DragCase {
    int labels;
    double startX;
    QPointF delta;
    double expectedX;
};

void PrintTo(const DragCase& c, std::ostream* os) {
    *os << c.labels << " labels from " << c.startX << " by " << c.delta.x() << "," << c.delta.y();
}

class DailyChartDrag : public ::testing::TestWithParam<DragCase> {};

TEST_P(DailyChartDrag, KeepsTheOffsetWithinTheContent) {
    const DragCase c = GetParam();
    DailyLineChartView chart(QRectF(0, 0, 320, 200));
    QStringList labels;
    for (int i = 0; i < c.labels; ++i)
        labels << QString::number(i);
    chart.setXAxisValues(labels);
    chart.setContentScroll(QPointF(c.startX, 0));
    chart.touchesMoved(QPointF(100, 100) + c.delta, QPointF(100, 100));
    EXPECT_DOUBLE_EQ(chart.contentScroll().x(), c.expectedX);
    EXPECT_DOUBLE_EQ(chart.contentScroll().y(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, DailyChartDrag,
    ::testing::Values(DragCase{31, 0, {-100, 0}, -100}, DragCase{31, 0, {40, 0}, 0},
                      DragCase{31, -1300, {-500, 0}, -(50 * 34 - 320)},
                      DragCase{31, -10, {0, 80}, -10},
                      // Content that fits never scrolls, and is never pushed right.
                      DragCase{0, 0, {-100, 0}, 0}, DragCase{3, 0, {-30, 0}, 0},
                      DragCase{3, 0, {30, 0}, 0}, DragCase{4, 0, {-100, 0}, -30}));

TEST(MonthlyLineChart, ValueLabelsCarryTheirUnit) {
    const QList<std::pair<QVariant, QString>> cases = {
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
    EXPECT_EQ(canvas.strokes()[1].segments[0].point, QPointF(54, 30));
    EXPECT_EQ(canvas.strokes()[1].segments[1].point, QPointF(54, 200));
    EXPECT_EQ(canvas.imagesNamed("bg_flowtoday.png").value(0).rect, QRectF(4, y0 + 20, 47, 40));
    const auto* caption = canvas.findText("本月");
    ASSERT_TRUE(caption);
    EXPECT_EQ(caption->origin, QPointF(27 - kA14, y0 + 45));
    const auto* first = canvas.findText("100M");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->origin, QPointF(27 - 4 * kA14 / 2, y0 + 30));
    const auto* second = canvas.findText("2G");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->color, kBlue);
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
