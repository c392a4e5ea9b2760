#include "widgets/UsageChartView.h"

#include "platform/foundation/Values.h"
#include "widgets/Canvas.h"
#include "widgets/QPainterCanvas.h"

#include <QMouseEvent>

const QString UsageChartView::kTextFontName = QStringLiteral("STHeitiSC-Light");

namespace {
const QList<double> kDash = {3, 3};
const QColor kGrey = QColor::fromRgbF(0.5, 0.5, 0.5);
} // namespace

UsageChartView::UsageChartView(float pointerInterval, const Look& look, View* parent)
    : View(parent), m_defaultPointerInterval(pointerInterval), m_look(look) {
    commonInit();
}

void UsageChartView::commonInit() {
    m_xAxisFontSize = 15;
    m_xAxisFontColor = QColor::fromRgbF(1.0 / 3, 1.0 / 3, 1.0 / 3); // dark grey
    m_numberOfVerticalElements = 5;
    m_horizontalLinesColor = QColor::fromRgbF(2.0 / 3, 2.0 / 3, 2.0 / 3); // light grey
    m_max = 0;
    m_min = 0;
    m_interval = 0;
    m_pointerInterval = m_defaultPointerInterval;
    m_axisLineWidth = 0.5f;
    m_horizontalLineInterval = 40;
    m_horizontalLineWidth = 0.2f;
    m_axisBottomLinetHeight = 30;
    m_axisLeftLineWidth = 35;
    m_floatNumberFormatterString = QStringLiteral("%.2f");
    m_fontName = QStringLiteral("Helvetica");
    m_contentScroll = QPointF(0, 0);
}

void UsageChartView::addPlot(const UsagePlot& plot) {
    if (plot.plottingValues().isEmpty()) return;
    m_plots.append(plot);
    layoutIfNeeded();
}

void UsageChartView::clearPlot() {
    m_plots.clear();
}

float UsageChartView::floatValue(const QVariant& value) {
    return float(ns::Values::doubleValue(value));
}

float UsageChartView::valueHeight(const QVariant& value) const {
    const float interval = m_interval == 0 ? 1.0f : m_interval;
    return m_axisBottomLinetHeight +
           (floatValue(value) - m_min) / interval * m_horizontalLineInterval;
}

void UsageChartView::draw(Canvas& canvas, const QRectF&) {
    const double H = bounds().height();
    const double W = bounds().width();
    const float L = axisLeftLineWidth();
    const float B = axisBottomLinetHeight();
    const float P = pointerInterval();
    const QPointF scroll = contentScroll();
    const double shift = m_look.pointsBetweenVerticals ? -P / 2.0 : 0.0;

    // Origin at the bottom-left, y up.
    canvas.translate(0, H);
    canvas.scale(1, -1);

    auto xAt = [&](qsizetype j) { return L + (j + 1) * P + scroll.x() + shift; };

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
                canvas.moveTo(QPointF(L + shift, valueHeight(next)));
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
            if (j > 0) {
                canvas.drawImage(QStringLiteral("hint_blue.png"), QRectF(x - 6, y - 6, 12, 12));
                drawValue(canvas, values.at(j), false, x, y + 18);
            } else {
                canvas.drawImage(QStringLiteral("hint_green.png"), QRectF(x - 12, y - 12, 24, 24));
                canvas.drawImage(QStringLiteral("bg_flowtoday.png"),
                                 QRectF(x - m_look.bubbleLeft, y + 20, 47, 40));
                drawLabel(canvas, m_look.caption, 14, Qt::white, x, y + 45);
                drawValue(canvas, values.at(j), true, x, y + 30);
            }
            const double vx = x - shift;
            canvas.setStrokeColor(plot.lineColor());
            canvas.setLineDash(0, kDash);
            canvas.setLineWidth(axisLineWidth());
            canvas.moveTo(QPointF(vx, B));
            canvas.addLineTo(QPointF(vx, H - m_look.verticalTopInset));
            canvas.strokePath();
        }
    }

    canvas.setStrokeColor(xAxisFontColor());
    canvas.moveTo(QPointF(L, B));
    canvas.addLineTo(QPointF(W, B));
    canvas.strokePath();

    const QStringList labels = xAxisValues();
    for (qsizetype i = 0; i < labels.size(); ++i)
        if (xAt(i) >= L)
            drawLabel(canvas, labels.at(i), 14, kGrey, xAt(i),
                      xAxisFontSize() - m_look.axisLabelDrop);
}

void UsageChartView::touchesMoved(const QPointF&, const QPointF&) {}

void UsageChartView::drawRect(QPainter& painter, const QRectF& rect) {
    QPainterCanvas canvas(painter);
    draw(canvas, rect);
}

// A mouse drag is a touch.
void UsageChartView::mousePressEvent(QMouseEvent* event) {
    m_lastTouch = event->position();
}

void UsageChartView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const QPointF previous = m_lastTouch;
    m_lastTouch = event->position();
    touchesMoved(m_lastTouch, previous);
}
