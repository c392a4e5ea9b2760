#include "platform/ui/Label.h"
#include "widgets/MeterProgressView.h"
#include "widgets/RecordingCanvas.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

struct Arc {
    double start;
    double end;
};

const QColor kRed(255, 87, 74), kOrange(254, 164, 85), kGreen(94, 251, 101), kCyan(36, 251, 249);
const Arc kSeg1{2.72, 3.54}, kSeg2{3.625, 4.686}, kSeg3{4.758, 5.84}, kSeg4{5.92, 0.43};

TEST(MeterProgressView, FillsTheSegmentsInTheBandColour) {
    const struct {
        float progress;
        QColor color;
        QList<Arc> arcs;
    } cases[] = {
        {-1, Qt::white, {}},
        {std::numeric_limits<float>::quiet_NaN(), Qt::white, {}},
        {0, kRed, {}},
        {12.5f, kRed, {{2.72, float(3.13)}}},
        {25, kRed, {kSeg1}},
        {40, kOrange, {kSeg1, {3.625, float(3.625 + 1.061 * 15 / 25)}}},
        {75, kGreen, {kSeg1, kSeg2, kSeg3}},
        {90,
         kCyan,
         {kSeg1, kSeg2, kSeg3, {5.92, float(5.92 + 0.7931853143321437 * 0.6 - 2 * M_PI)}}},
        {100, kCyan, {kSeg1, kSeg2, kSeg3, kSeg4}},
        {250, kCyan, {kSeg1, kSeg2, kSeg3, kSeg4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.progress << "%");
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
}

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
