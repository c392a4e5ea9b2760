#include "widgets/DailyLineChartView.h"

#include "platform/foundation/Values.h"
#include "widgets/Canvas.h"

#include <algorithm>

namespace {
const QColor kBlueText = QColor(90, 155, 200);
const QColor kGrey = QColor::fromRgbF(0.5, 0.5, 0.5);
// The width of the phone screen the scroll limit was made for.
constexpr double kScreenWidth = 320;

const UsageChartView::Look kLook{.pointsBetweenVerticals = false,
                                 .verticalTopInset = 10,
                                 .bubbleLeft = 24,
                                 .axisLabelDrop = 8,
                                 .caption = QStringLiteral("今天")};
} // namespace

DailyLineChartView::DailyLineChartView(View* parent) : UsageChartView(50, kLook, parent) {}

DailyLineChartView::DailyLineChartView(const QRectF& frame, View* parent)
    : UsageChartView(50, kLook, parent) {
    setFrame(frame);
}

int DailyLineChartView::drawText(Canvas& canvas, const QString& text, int fontSize,
                                 const QColor& color, double x, double y) {
    const double a = canvas.firstGlyphAdvance(text, kTextFontName, fontSize);
    const bool centred = text.endsWith(QLatin1Char('M')) || text.contains(QLatin1Char('-'));
    const double offset = centred ? text.size() * a / 2 : a;
    canvas.drawText(text, kTextFontName, fontSize, color, QPointF(x - offset, y));
    return int(offset);
}

int DailyLineChartView::drawText2(Canvas& canvas, const QString& text, int fontSize,
                                  const QColor& color, double x, double y) {
    const double a = canvas.firstGlyphAdvance(text, kTextFontName, fontSize);
    const double offset = text.size() * a / 2;
    canvas.drawText(text, kTextFontName, fontSize, color, QPointF(x - offset, y));
    return int(offset);
}

void DailyLineChartView::drawLabel(Canvas& canvas, const QString& text, int fontSize,
                                   const QColor& color, double x, double y) {
    drawText(canvas, text, fontSize, color, x, y);
}

void DailyLineChartView::drawValue(Canvas& canvas, const QVariant& value, bool highlighted,
                                   double x, double y) {
    // The unit is smaller and set just after the number.
    const int h = drawText2(canvas, ns::Values::stringValue(value), 14,
                            highlighted ? QColor(Qt::white) : kBlueText, x - 5, y);
    drawText2(canvas, QStringLiteral("M"), 10, highlighted ? QColor(Qt::white) : kGrey,
              x - 5 + 2 * h + 4, y);
}

void DailyLineChartView::touchesMoved(const QPointF& location, const QPointF& previousLocation) {
    double sx = contentScroll().x() + (location.x() - previousLocation.x());
    double sy = contentScroll().y() + (location.y() - previousLocation.y());
    if (sx > 0) sx = 0;
    if (sy < 0) sy = 0;
    // Content narrower than the screen does not scroll at all (rather than being pushed right).
    const double overflow = pointerInterval() * (xAxisValues().size() + 3) - kScreenWidth;
    sx = std::max(sx, -std::max(0.0, overflow));
    // Vertical dragging has no effect.
    sy = 0;
    setContentScroll(QPointF(sx, sy));
    setNeedsDisplay();
}
