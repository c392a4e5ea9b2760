#include "widgets/ZoomEffect.h"

#include <QPainter>
#include <QWidget>
#include <cmath>

ZoomEffect::ZoomEffect(QObject* parent) : QGraphicsEffect(parent) {}

void ZoomEffect::setScale(double scale) {
    if (!std::isfinite(scale) || scale <= 0) scale = 1;
    if (scale == m_scale) return;
    m_scale = scale;
    updateBoundingRect();
    update();
}

QRectF ZoomEffect::boundingRectFor(const QRectF& rect) const {
    // Growing past the widget's own rectangle: what lies under that margin is drawn again.
    if (m_scale <= 1) return rect;
    const QPointF c = rect.center();
    return {c.x() - rect.width() * m_scale / 2, c.y() - rect.height() * m_scale / 2,
            rect.width() * m_scale, rect.height() * m_scale};
}

void ZoomEffect::draw(QPainter* painter) {
    if (m_scale == 1) {
        drawSource(painter);
        return;
    }
    // Taken in device pixels, so a screen that draws at more than one pixel a point keeps
    // the picture sharp.
    QPoint offset;
    const QPixmap picture = sourcePixmap(Qt::DeviceCoordinates, &offset, NoPad);
    const QPointF c =
        painter->worldTransform().map(sourceBoundingRect(Qt::LogicalCoordinates).center());
    painter->save();
    painter->setWorldTransform(QTransform());
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->translate(c);
    painter->scale(m_scale, m_scale);
    painter->translate(-c);
    painter->drawPixmap(offset, picture);
    painter->restore();
}

void ZoomEffect::apply(QWidget* widget, double scale) {
    if (!widget) return;
    auto* effect = qobject_cast<ZoomEffect*>(widget->graphicsEffect());
    // A zoom that multiplied its way back to rest may miss 1 by a rounding step.
    if (!std::isfinite(scale) || scale <= 0 || std::abs(scale - 1) < 1e-9) {
        if (effect) widget->setGraphicsEffect(nullptr); // deletes it
        return;
    }
    if (!effect) {
        effect = new ZoomEffect;
        widget->setGraphicsEffect(effect); // takes it
    }
    effect->setScale(scale);
}

double ZoomEffect::scaleOf(const QWidget* widget) {
    const auto* effect = widget ? qobject_cast<ZoomEffect*>(widget->graphicsEffect()) : nullptr;
    return effect ? effect->scale() : 1.0;
}
