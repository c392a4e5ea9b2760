#include "widgets/MonthlyLineChartView.h"

#include "platform/foundation/Values.h"
#include "widgets/Canvas.h"

namespace {
const QColor kBlueText = QColor(90, 155, 200);
const QColor kGrey = QColor::fromRgbF(0.5, 0.5, 0.5);
const QList<double> kDash = {3, 3};
} // namespace

MonthlyLineChartView::MonthlyLineChartView(View* parent) : UsageChartView(54, parent) {}

MonthlyLineChartView::MonthlyLineChartView(const QRectF& frame, View* parent)
    : UsageChartView(54, parent) {
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

void MonthlyLineChartView::draw(Canvas& canvas, const QRectF&) {
    const double H = bounds().height();
    const double W = bounds().width();
    const float L = axisLeftLineWidth();
    const float B = axisBottomLinetHeight();
    const float P = pointerInterval();
    const QPointF scroll = contentScroll();

    canvas.translate(0, H);
    canvas.scale(1, -1);

    // Half a step left of the daily position: points sit between the verticals.
    auto xAt = [&](qsizetype j) { return L + (j + 1) * P + scroll.x() - P / 2; };

    for (const UsagePlot& plot : plots()) {
        const QVariantList values = plot.plottingValues();
        canvas.setFillColor(plot.lineColor());
        canvas.setStrokeColor(plot.lineColor());
        canvas.setLineWidth(plot.lineWidth());

        for (qsizetype j = 0; j < values.size(); ++j) {
            const double x = xAt(j);
            if (x < L) {
                const QVariant next = j + 1 < values.size() ? values.at(j + 1) : QVariant(0);
                canvas.moveTo(QPointF(L - P / 2, valueHeight(next)));
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
            const QString label = valueLabel(values.at(j));
            if (j > 0) {
                canvas.drawImage(QStringLiteral("hint_blue.png"), QRectF(x - 6, y - 6, 12, 12));
                drawText(canvas, label, 14, kBlueText, x, y + 18);
            } else {
                canvas.drawImage(QStringLiteral("hint_green.png"), QRectF(x - 12, y - 12, 24, 24));
                canvas.drawImage(QStringLiteral("bg_flowtoday.png"),
                                 QRectF(x - 23, y + 20, 47, 40));
                drawText(canvas, QStringLiteral("本月"), 14, Qt::white, x, y + 45);
                drawText(canvas, label, 14, Qt::white, x, y + 30);
            }
            const double vx = x + P / 2;
            canvas.setStrokeColor(plot.lineColor());
            canvas.setLineDash(0, kDash);
            canvas.setLineWidth(axisLineWidth());
            canvas.moveTo(QPointF(vx, B));
            canvas.addLineTo(QPointF(vx, H));
            canvas.strokePath();
        }
    }

    canvas.setStrokeColor(xAxisFontColor());
    canvas.moveTo(QPointF(L, B));
    canvas.addLineTo(QPointF(W, B));
    canvas.strokePath();

    const QStringList labels = xAxisValues();
    for (qsizetype i = 0; i < labels.size(); ++i)
        if (xAt(i) >= L) drawText(canvas, labels.at(i), 14, kGrey, xAt(i), xAxisFontSize() - 10);
}
