#include "widgets/SpinnerView.h"

#include "widgets/QPainterCanvas.h"

#include <cmath>

namespace {
constexpr int kSpokes = 12;
constexpr qint64 kTickMs = 1000 / kSpokes; // one turn a second
} // namespace

SpinnerView::SpinnerView(Style style, View* parent) : View(parent) {
    setUserInteractionEnabled(false);
    setStyle(style);
    setHidden(true);
}

void SpinnerView::setStyle(Style style) {
    m_style = style;
    const double side = style == Style::WhiteLarge ? 37 : 20;
    const QPointF c = center();
    setFrame(QRectF(c.x() - side / 2, c.y() - side / 2, side, side));
    m_color = style == Style::Gray ? QColor(128, 128, 128) : QColor(Qt::white);
    update();
}

void SpinnerView::setColor(const QColor& color) {
    m_color = color;
    update();
}

void SpinnerView::setHidesWhenStopped(bool on) {
    m_hidesWhenStopped = on;
    if (!m_animating) setHidden(on);
}

void SpinnerView::startAnimating() {
    if (m_animating) return;
    m_animating = true;
    setHidden(false);
    m_tick.start(
        kTickMs, this,
        [this] {
            m_phase = (m_phase + 1) % kSpokes;
            update();
        },
        true);
}

void SpinnerView::stopAnimating() {
    m_animating = false;
    m_tick.cancel();
    if (m_hidesWhenStopped) setHidden(true);
}

void SpinnerView::draw(Canvas& canvas) const {
    const QPointF c = bounds().center();
    const double outer = bounds().width() / 2;
    const double inner = outer * 0.45;
    canvas.setLineWidth(std::max(2.0, outer / 6));
    canvas.setLineCap(Canvas::LineCap::Round);
    for (int i = 0; i < kSpokes; ++i) {
        // The leading spoke is solid, those behind it fade.
        const int age = (m_phase - i + kSpokes) % kSpokes;
        QColor color = m_color;
        color.setAlphaF(m_color.alphaF() * (1.0 - 0.75 * age / (kSpokes - 1)));
        const double angle = 2 * M_PI * i / kSpokes - M_PI / 2;
        canvas.setStrokeColor(color);
        canvas.moveTo(c + QPointF(std::cos(angle), std::sin(angle)) * inner);
        canvas.addLineTo(c + QPointF(std::cos(angle), std::sin(angle)) * (outer - 1.5));
        canvas.strokePath();
    }
}

void SpinnerView::drawRect(QPainter& painter, const QRectF&) {
    QPainterCanvas canvas(painter);
    draw(canvas);
}
