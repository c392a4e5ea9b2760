#include "widgets/OverlayHUDSpinner.h"

#include <QPainter>
#include <cmath>
#include <numbers>

OverlayHUDSpinner::OverlayHUDSpinner(ui::View* parent)
    : ui::View(QRectF(0, 0, kSide, kSide), parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void OverlayHUDSpinner::startAnimating() {
    if (m_animating) return;
    m_animating = true;
    m_step.start(
        kStepMs, this,
        [this] {
            m_head = (m_head + 1) % kSpokes;
            setNeedsDisplay();
        },
        true);
}

void OverlayHUDSpinner::stopAnimating() {
    m_animating = false;
    m_step.cancel();
}

void OverlayHUDSpinner::drawRect(QPainter& painter, const QRectF&) {
    const QRectF b = bounds();
    const double side = std::min(b.width(), b.height());
    if (side <= 0) return;
    painter.save();
    painter.translate(b.center());
    const double outer = side / 2;
    const double inner = outer * 0.45;
    const double width = std::max(1.0, side * 0.08);
    for (int i = 0; i < kSpokes; ++i) {
        // Spokes trail the head: the further behind, the fainter.
        const int behind = (m_head - i + kSpokes) % kSpokes;
        const double alpha = 1.0 - 0.75 * behind / double(kSpokes - 1);
        const double angle = 2 * std::numbers::pi * i / kSpokes;
        const QPointF dir(std::sin(angle), -std::cos(angle));
        painter.setPen(
            QPen(QColor::fromRgbF(1, 1, 1, float(alpha)), width, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(dir * (inner + width / 2), dir * (outer - width / 2));
    }
    painter.restore();
}
