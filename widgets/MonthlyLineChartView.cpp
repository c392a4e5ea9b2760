#include "widgets/MonthlyLineChartView.h"

#include "platform/foundation/Values.h"
#include "widgets/Canvas.h"

namespace {
const QColor kBlueText = QColor(90, 155, 200);
const UsageChartView::Look kLook{.pointsBetweenVerticals = true,
                                 .verticalTopInset = 0,
                                 .bubbleLeft = 23,
                                 .axisLabelDrop = 10,
                                 .caption = QStringLiteral("本月")};
} // namespace

MonthlyLineChartView::MonthlyLineChartView(View* parent) : UsageChartView(54, kLook, parent) {}

MonthlyLineChartView::MonthlyLineChartView(const QRectF& frame, View* parent)
    : UsageChartView(54, kLook, parent) {
    setFrame(frame);
}

QString MonthlyLineChartView::valueLabel(const QVariant& value) {
    const qint64 n = ns::Values::integerValue(value);
    if (n >= 1025) return QStringLiteral("%1G").arg(n / 1024);
    return ns::Values::stringValue(value) + QStringLiteral("M");
}

void MonthlyLineChartView::drawText(Canvas& canvas, const QString& text, int fontSize,
                                    const QColor& color, double x, double y) {
    const double a = canvas.firstGlyphAdvance(text, kTextFontName, fontSize);
    const bool centred = text.endsWith(QLatin1Char('M')) || text.endsWith(QLatin1Char('G'));
    const double offset = centred ? text.size() * a / 2 : a;
    canvas.drawText(text, kTextFontName, fontSize, color, QPointF(x - offset, y));
}

void MonthlyLineChartView::drawLabel(Canvas& canvas, const QString& text, int fontSize,
                                     const QColor& color, double x, double y) {
    drawText(canvas, text, fontSize, color, x, y);
}

void MonthlyLineChartView::drawValue(Canvas& canvas, const QVariant& value, bool highlighted,
                                     double x, double y) {
    drawText(canvas, valueLabel(value), 14, highlighted ? QColor(Qt::white) : kBlueText, x, y);
}
