#include "platform/ui/Switch.h"

#include "platform/foundation/DeviceInfo.h"
#include "platform/ui/Animation.h"

#include <QPainter>
#include <QPainterPath>
#include <QPointer>

namespace ui {

Switch::Switch(View* parent) : Switch(QRectF(), parent) {}

Switch::Switch(const QRectF& frame, View* parent) : Control(frame, parent) {
    setFrame(frame);
}

QSizeF Switch::defaultSize() {
    // Before system 7 the switch is wider and lower, and what is laid over its knob is placed
    // for that size.
    if (!ns::DeviceInfo::isSystemVersionAtLeast(7.0f)) return {79, 27};
    return {51, 31};
}

void Switch::setFrame(const QRectF& frame) {
    Control::setFrame(QRectF(frame.topLeft(), defaultSize()));
}

void Switch::setOn(bool on, bool animated) {
    if (on == m_on && !Animation::isRunning(this, QStringLiteral("thumb"))) {
        m_position = on ? 1 : 0;
        update();
        return;
    }
    m_on = on;
    const double from = m_position, to = on ? 1 : 0;
    QPointer<Switch> self(this);
    Animation::run(this, QStringLiteral("thumb"), animated ? 0.25 : 0, Animation::Curve::EaseInOut,
                   [self, from, to](double p) {
                       if (!self) return;
                       self->m_position = from + (to - from) * p;
                       self->update();
                   });
}

void Switch::setOnTintColor(const QColor& color) {
    m_onTint = color;
    update();
}

void Switch::setThumbTintColor(const QColor& color) {
    m_thumbTint = color;
    update();
}

void Switch::endTracking(const QPointF& point) {
    if (!isEnabled() || !pointCountsInside(point)) return;
    QPointer<Switch> self(this);
    setOn(!m_on, true);
    if (self) sendActionsForControlEvents(ValueChanged);
}

void Switch::drawRect(QPainter& painter, const QRectF& rect) {
    const QRectF track = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    const double r = track.height() / 2;
    QPainterPath path;
    path.addRoundedRect(track, r, r);
    painter.setOpacity(painter.opacity() * (isEnabled() ? 1.0 : 0.5));
    painter.fillPath(path, Qt::white);
    QColor fill = m_onTint;
    fill.setAlphaF(fill.alphaF() * m_position);
    painter.fillPath(path, fill);
    painter.setPen(QPen(QColor(229, 229, 229), 1));
    painter.drawPath(path);
    const double d = track.height() - 2;
    const double x = track.left() + 1 + m_position * (track.width() - 2 - d);
    painter.setPen(QPen(QColor(0, 0, 0, 40), 0.5));
    painter.setBrush(m_thumbTint);
    painter.drawEllipse(QRectF(x, track.top() + 1, d, d));
}

} // namespace ui
