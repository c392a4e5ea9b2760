#include "widgets/DailyLineChartView.h"

#include "platform/foundation/Values.h"
#include "widgets/Canvas.h"

#include <algorithm>

namespace {
const QColor kBlueText = QColor(90, 155, 200);
const QColor kGrey = QColor::fromRgbF(0.5, 0.5, 0.5);
const QList<double> kDash = {3, 3};
// The width of the phone screen the scroll limit was made for.
constexpr double kScreenWidth = 320;
} // namespace

DailyLineChartView::DailyLineChartView(View* parent) : UsageChartView(50, parent) {}

DailyLineChartView::DailyLineChartView(const QRectF& frame, View* parent)
    : UsageChartView(50, parent) {
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

void DailyLineChartView::draw(Canvas& canvas, const QRectF&) {
    const double H = bounds().height();
    const double W = bounds().width();
    const float L = axisLeftLineWidth();
    const float B = axisBottomLinetHeight();
    const float P = pointerInterval();
    const QPointF scroll = contentScroll();

    // Origin at the bottom-left, y up.
    canvas.translate(0, H);
    canvas.scale(1, -1);

    auto xAt = [&](qsizetype j) { return L + (j + 1) * P + scroll.x(); };

    for (const UsagePlot& plot : plots()) {
        const QVariantList values = plot.plottingValues();
        canvas.setFillColor(plot.lineColor());
        canvas.setStrokeColor(plot.lineColor());
        canvas.setLineWidth(plot.lineWidth());

        for (qsizetype j = 0; j < values.size(); ++j) {
            const double x = xAt(j);
            if (x < L) {
                // Hidden: the line enters at the left edge at the next point's height.
                const QVariant next = j + 1 < values.size() ? values.at(j + 1) : QVariant(0);
                canvas.moveTo(QPointF(L, valueHeight(next)));
            } else if (j == 0) {
                canvas.moveTo(QPointF(x, valueHeight(values.at(j)) - scroll.y()));
            } else {
                canvas.addLineTo(QPointF(x, valueHeight(values.at(j)) - scroll.y()));
            }
        }
        canvas.strokePath();

        for (qsizetype j = 0; j < values.size(); ++j) {
            const double x = xAt(j);
            if (!(x > L)) continue;
            const double y = valueHeight(values.at(j)) - scroll.y();
            const QString text = ns::Values::stringValue(values.at(j));
            if (j > 0) {
                canvas.drawImage(QStringLiteral("hint_blue.png"), QRectF(x - 6, y - 6, 12, 12));
                const int h = drawText2(canvas, text, 14, kBlueText, x - 5, y + 18);
                drawText2(canvas, QStringLiteral("M"), 10, kGrey, x - 5 + 2 * h + 4, y + 18);
            } else {
                canvas.drawImage(QStringLiteral("hint_green.png"), QRectF(x - 12, y - 12, 24, 24));
                canvas.drawImage(QStringLiteral("bg_flowtoday.png"),
                                 QRectF(x - 24, y + 20, 47, 40));
                drawText(canvas, QStringLiteral("今天"), 14, Qt::white, x, y + 45);
                const int h = drawText2(canvas, text, 14, Qt::white, x - 5, y + 30);
                drawText2(canvas, QStringLiteral("M"), 10, Qt::white, x - 5 + 2 * h + 4, y + 30);
            }
            canvas.setStrokeColor(plot.lineColor());
            canvas.setLineDash(0, kDash);
            canvas.setLineWidth(axisLineWidth());
            canvas.moveTo(QPointF(x, B));
            canvas.addLineTo(QPointF(x, H - 10));
            canvas.strokePath();
        }
    }

    canvas.setStrokeColor(xAxisFontColor());
    canvas.moveTo(QPointF(L, B));
    canvas.addLineTo(QPointF(W, B));
    canvas.strokePath();

    const QStringList labels = xAxisValues();
    for (qsizetype i = 0; i < labels.size(); ++i)
        if (xAt(i) >= L) drawText(canvas, labels.at(i), 14, kGrey, xAt(i), xAxisFontSize() - 8);
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
