#include "widgets/ModalDialogBox.h"

#include "widgets/QPainterCanvas.h"
#include "widgets/ZoomEffect.h"

QColor ModalDialogBox::separatorColor() {
    return QColor::fromRgbF(198 / 255.0, 198 / 255.0, 198 / 255.0);
}

namespace {
QColor grey(double level) {
    return QColor::fromRgbF(level, level, level);
}
} // namespace

ModalDialogBox::ModalDialogBox(const QRectF& frame, View* parent) : View(frame, parent) {
    setCornerRadius(kCornerRadius);
    setBorderColor(separatorColor());
    setBorderWidth(1);
    setClipsToBounds(false);
}

void ModalDialogBox::setScale(double scale) {
    m_scale = scale;
    ZoomEffect::apply(this, scale);
}

void ModalDialogBox::draw(Canvas& canvas) const {
    canvas.fillLinearGradient(
        bounds(), kCornerRadius,
        {{0.0, grey(218 / 255.0)}, {0.5, grey(233 / 255.0)}, {1.0, grey(218 / 255.0)}});
}

void ModalDialogBox::drawShadow(Canvas& canvas) const {
    // Radius 12 at opacity 0.1, offset (-6, -6): a few widening rings fade it out.
    // It zooms with the box.
    const QRectF f = frame();
    const QSizeF zoomed = f.size() * m_scale;
    const QRectF base = QRectF(f.center() - QPointF(zoomed.width(), zoomed.height()) / 2, zoomed)
                            .translated(-6, -6);
    for (int ring = 3; ring >= 0; --ring) {
        const double grow = ring * 3.0;
        canvas.fillRoundedRect(base.adjusted(-grow, -grow, grow, grow), kCornerRadius + grow,
                               QColor::fromRgbF(0, 0, 0, 0.1 / 4 * alpha()));
    }
}

void ModalDialogBox::drawRect(QPainter& painter, const QRectF&) {
    QPainterCanvas canvas(painter);
    draw(canvas);
}
