#include "widgets/BarProgressView.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

BarProgressView::BarProgressView(ui::View* parent)
    : BarProgressView(QRectF(0, 0, kDefaultWidth, kDefaultHeight), parent) {}

BarProgressView::BarProgressView(const QRectF& frame, ui::View* parent) : ui::View(frame, parent) {
    setBackgroundColor(Qt::transparent);
    setAttribute(Qt::WA_TranslucentBackground);
}

void BarProgressView::setProgress(float progress) {
    m_progress = progress;
    setNeedsDisplay();
}

void BarProgressView::setLineColor(const QColor& color) {
    m_lineColor = color;
    setNeedsDisplay();
}

void BarProgressView::setProgressRemainingColor(const QColor& color) {
    m_progressRemainingColor = color;
    setNeedsDisplay();
}

void BarProgressView::setProgressColor(const QColor& color) {
    m_progressColor = color;
    setNeedsDisplay();
}

double BarProgressView::filledRightEdge() const {
    const double w = bounds().width();
    const double h = bounds().height();
    const double amount = w * double(m_progress);
    if (!(amount > 0)) return 0;
    // The left cap is filled whole as soon as anything shows; past the straight part the fill
    // runs into the right cap and stops at the inner outline (w - 4).
    const double left = h / 2;
    return std::min(std::max(amount, left), w - 4);
}

void BarProgressView::drawRect(QPainter& painter, const QRectF&) {
    const double w = bounds().width();
    const double h = bounds().height();
    const double r = h / 2 - 2;
    if (r <= 0 || w <= 4) return;
    painter.save();

    // Both outlines are stadiums: straight edges closed by half circles.
    QPainterPath outline;
    outline.addRoundedRect(QRectF(2, 2, w - 4, h - 4), r, r);
    painter.fillPath(outline, m_progressRemainingColor);
    painter.strokePath(outline, QPen(m_lineColor, 2));

    const double q = r - 2;
    const double edge = filledRightEdge();
    if (q > 0 && edge > 0) {
        QPainterPath inner;
        inner.addRoundedRect(QRectF(4, 4, w - 8, h - 8), q, q);
        QPainterPath upTo;
        upTo.addRect(QRectF(0, 0, edge, h));
        painter.fillPath(inner.intersected(upTo), m_progressColor);
    }
    painter.restore();
}
