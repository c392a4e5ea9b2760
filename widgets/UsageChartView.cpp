#include "widgets/UsageChartView.h"

#include "platform/foundation/Values.h"
#include "widgets/QPainterCanvas.h"

#include <QMouseEvent>

const QString UsageChartView::kTextFontName = QStringLiteral("STHeitiSC-Light");

UsageChartView::UsageChartView(float pointerInterval, View* parent)
    : View(parent), m_defaultPointerInterval(pointerInterval) {
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
