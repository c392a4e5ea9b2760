#include "platform/ui/Label.h"
#include "widgets/MeterProgressView.h"
#include "widgets/RecordingCanvas.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>

namespace {

struct Arc {
    double start;
    double end;
};

struct MeterCase {
    float progress;
    QColor color;
    QList<Arc> arcs;
};

void PrintTo(const MeterCase& c, std::ostream* os) {
    *os << c.progress << "%";
}

class MeterDial : public ::testing::TestWithParam<MeterCase> {};

TEST_P(MeterDial, FillsTheSegmentsInTheBandColour) {
    const MeterCase c = GetParam();
    MeterProgressView meter(QRectF(52, 31, 216, 165));
    meter.setProgress(c.progress);
    meter.setSurplusFlowData("1.25");
    meter.setSurplusFlowUnit("GB");
    RecordingCanvas canvas;
    meter.draw(canvas, meter.bounds());

    ASSERT_EQ(canvas.strokes().size(), c.arcs.size());
    for (int i = 0; i < c.arcs.size(); ++i) {
        const auto& stroke = canvas.strokes()[i];
        EXPECT_EQ(stroke.color, c.color);
        EXPECT_DOUBLE_EQ(stroke.width, 10);
        ASSERT_EQ(stroke.segments.size(), 1);
        const auto& arc = stroke.segments[0];
        EXPECT_EQ(arc.kind, RecordingCanvas::Segment::Arc);
        EXPECT_EQ(arc.point, QPointF(108, 108));
        EXPECT_DOUBLE_EQ(arc.radius, 101.5);
        EXPECT_FALSE(arc.clockwise);
        EXPECT_DOUBLE_EQ(arc.startAngle, c.arcs[i].start) << i;
        EXPECT_NEAR(arc.endAngle, c.arcs[i].end, 1e-6) << i;
    }
    // The number takes the band colour, the unit stays white.
    const auto runs = meter.labelFlow()->attributedText().runs();
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0].attributes.foregroundColor.value(), c.color);
    EXPECT_EQ(runs[1].attributes.foregroundColor.value(), QColor(Qt::white));
    EXPECT_EQ(meter.labelFlow()->text(), QStringLiteral("1.25GB"));
}

const QColor kRed(255, 87, 74), kOrange(254, 164, 85), kGreen(94, 251, 101), kCyan(36, 251, 249);
const Arc kSeg1{2.72, 3.54}, kSeg2{3.625, 4.686}, kSeg3{4.758, 5.84}, kSeg4{5.92, 0.43};

INSTANTIATE_TEST_SUITE_P(
    Percentages, MeterDial,
    ::testing::Values(
        MeterCase{-1, Qt::white, {}},
        MeterCase{std::numeric_limits<float>::quiet_NaN(), Qt::white, {}}, MeterCase{0, kRed, {}},
        MeterCase{12.5f, kRed, {{2.72, float(3.13)}}}, MeterCase{25, kRed, {kSeg1}},
        MeterCase{40, kOrange, {kSeg1, {3.625, float(3.625 + 1.061 * 15 / 25)}}},
        MeterCase{75, kGreen, {kSeg1, kSeg2, kSeg3}},
        MeterCase{
            90,
            kCyan,
            {kSeg1, kSeg2, kSeg3, {5.92, float(5.92 + 0.7931853143321437 * 15 / 25 - 2 * M_PI)}}},
        MeterCase{100, kCyan, {kSeg1, kSeg2, kSeg3, kSeg4}},
        MeterCase{250, kCyan, {kSeg1, kSeg2, kSeg3, kSeg4}}));

TEST(MeterProgressView, DrawsTheBackgroundFirst) {
    MeterProgressView meter(QRectF(52, 31, 216, 165));
    RecordingCanvas canvas;
    meter.draw(canvas, QRectF(0, 0, 216, 165));
    ASSERT_GE(canvas.operations().size(), 2);
    EXPECT_EQ(canvas.operations()[0], RecordingCanvas::Op::Fill);
    EXPECT_EQ(canvas.operations()[1], RecordingCanvas::Op::Image);
    EXPECT_EQ(canvas.images()[0].name, QStringLiteral("bg_meter.png"));
    EXPECT_EQ(canvas.images()[0].rect, QRectF(0, 0, 216, 165));
}

TEST(MeterProgressView, TheProgressRingClampsItsFraction) {
    MeterProgressView meter(QRectF(0, 0, 216, 165));
    meter.setProgressColor(Qt::red);
    const QList<std::pair<float, double>> cases = {
        {-3, -M_PI / 2}, {0.5f, M_PI / 2}, {50, 1.5 * M_PI}};
    for (const auto& [progress, end] : cases) {
        meter.setProgress(progress);
        RecordingCanvas canvas;
        meter.draw(canvas, meter.bounds());
        const auto& ring = canvas.strokes().last();
        EXPECT_EQ(ring.color, QColor(Qt::red));
        EXPECT_EQ(ring.cap, Canvas::LineCap::Round);
        EXPECT_DOUBLE_EQ(ring.width, 5);
        EXPECT_EQ(ring.segments[0].point, QPointF(108, 82.5));
        EXPECT_DOUBLE_EQ(ring.segments[0].radius, 105.5);
        EXPECT_NEAR(ring.segments[0].endAngle, end, 1e-9) << progress;
    }
}

} // namespace
