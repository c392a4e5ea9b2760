#include "widgets/RoundProgressView.h"

#include <QPainter>
#include <QPainterPath>

namespace {
// Angles in degrees as the painter takes them: 90 is twelve o'clock, negative sweeps run
// clockwise on screen.
constexpr double kTwelveOClock = 90.0;
} // namespace

RoundProgressView::RoundProgressView(ui::View* parent)
    : RoundProgressView(QRectF(0, 0, kDefaultSide, kDefaultSide), parent) {}

RoundProgressView::RoundProgressView(const QRectF& frame, ui::View* parent)
    : ui::View(frame, parent) {
    setBackgroundColor(Qt::transparent);
    setAttribute(Qt::WA_TranslucentBackground);
}

void RoundProgressView::setProgress(float progress) {
    m_progress = progress;
    setNeedsDisplay();
}

void RoundProgressView::setProgressTintColor(const QColor& color) {
    m_progressTintColor = color;
    setNeedsDisplay();
}

void RoundProgressView::setBackgroundTintColor(const QColor& color) {
    m_backgroundTintColor = color;
    setNeedsDisplay();
}

void RoundProgressView::setAnnular(bool annular) {
    m_annular = annular;
    setNeedsDisplay();
}

void RoundProgressView::drawRect(QPainter& painter, const QRectF&) {
    painter.save();
    if (m_annular)
        drawRing(painter);
    else
        drawPie(painter);
    painter.restore();
}

void RoundProgressView::drawPie(QPainter& painter) const {
    const QRectF b = bounds();
    const QRectF circle = b.adjusted(2, 2, -2, -2);
    painter.setPen(QPen(m_progressTintColor, 2));
    painter.setBrush(m_backgroundTintColor);
    painter.drawEllipse(circle);

    const QPointF centre(b.width() / 2, b.height() / 2);
    const double radius = (b.width() - 4) / 2;
    const double sweep = -double(m_progress) * 360.0;
    if (sweep == 0.0 || radius <= 0) return;
    QPainterPath pie;
    pie.moveTo(centre);
    pie.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius),
              kTwelveOClock, sweep);
    pie.closeSubpath();
    painter.fillPath(pie, QColor::fromRgbF(1, 1, 1, 1));
}

void RoundProgressView::drawRing(QPainter& painter) const {
    const QRectF b = bounds();
    const QPointF centre(b.width() / 2, b.height() / 2);
    const double radius = (b.width() - 5) / 2;
    if (radius <= 0) return;
    const QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    painter.setBrush(Qt::NoBrush);

    QPen track(m_backgroundTintColor, 5, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(track);
    painter.drawEllipse(circle);

    const double sweep = -double(m_progress) * 360.0;
    if (sweep == 0.0) return;
    QPainterPath arc;
    arc.arcMoveTo(circle, kTwelveOClock);
    arc.arcTo(circle, kTwelveOClock, sweep);
    painter.strokePath(arc, QPen(m_progressTintColor, 5, Qt::SolidLine, Qt::RoundCap));
}
