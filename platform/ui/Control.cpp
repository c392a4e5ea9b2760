#include "platform/ui/Control.h"

#include <QMouseEvent>

namespace ui {

namespace {
// How far a finger may stray from a control and still count as inside it.
constexpr double kTouchSlack = 70;
} // namespace

Control::Control(View* parent) : Control(QRectF(), parent) {}

Control::Control(const QRectF& frame, View* parent) : View(frame, parent) {}

unsigned Control::state() const {
    unsigned s = Normal;
    if (m_highlighted) s |= Highlighted;
    if (!m_enabled) s |= Disabled;
    if (m_selected) s |= Selected;
    return s;
}

void Control::setEnabled(bool enabled) {
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    if (!enabled) {
        m_tracking = false;
        m_highlighted = false;
    }
    stateDidChange();
    update();
}

void Control::setSelected(bool selected) {
    if (selected == m_selected) return;
    m_selected = selected;
    stateDidChange();
    update();
}

void Control::setHighlighted(bool highlighted) {
    if (highlighted == m_highlighted) return;
    m_highlighted = highlighted;
    stateDidChange();
    update();
}

void Control::setContentHorizontalAlignment(ContentHorizontalAlignment a) {
    m_hAlign = a;
    stateDidChange();
    update();
}

void Control::setContentVerticalAlignment(ContentVerticalAlignment a) {
    m_vAlign = a;
    stateDidChange();
    update();
}

void Control::addTarget(QObject* target, Action action, unsigned events) {
    if (!action || !events) return;
    m_targets.push_back({target, target != nullptr, std::move(action), events, ++m_serial});
}

void Control::addAction(unsigned events, std::function<void()> action) {
    if (!action) return;
    addTarget(
        nullptr, [action = std::move(action)](Control*) { action(); }, events);
}

void Control::removeTarget(QObject* target, unsigned events) {
    for (Target& t : m_targets)
        if (!target || t.target == target) t.events &= ~events;
    std::erase_if(m_targets, [](const Target& t) { return t.events == 0; });
}

unsigned Control::allControlEvents() const {
    unsigned all = 0;
    for (const Target& t : m_targets)
        if (!t.hadTarget || t.target) all |= t.events;
    return all;
}

void Control::sendActionsForControlEvents(unsigned events) {
    QPointer<Control> self(this);
    // An action may add or remove targets, or destroy the control: work on a snapshot and
    // stop once the control is gone.
    const std::vector<Target> snapshot = m_targets;
    for (unsigned bit = 1; bit != 0; bit <<= 1) {
        if (!(events & bit)) continue;
        for (const Target& t : snapshot) {
            if (!self) return;
            if (!(t.events & bit) || (t.hadTarget && !t.target)) continue;
            // Skip actions removed by an earlier one.
            const bool live = std::any_of(m_targets.begin(), m_targets.end(), [&](const Target& x) {
                return x.serial == t.serial && (x.events & bit);
            });
            if (live) t.action(this);
        }
        if (!self) return;
        emit controlEvent(bit);
        if (!self) return;
        if (bit == TouchDown)
            emit touchDown();
        else if (bit == TouchUpInside)
            emit touchUpInside();
        else if (bit == ValueChanged)
            emit valueChanged();
        if (!self) return;
    }
}

void Control::cancelTracking() {
    if (!m_tracking) return;
    m_tracking = false;
    m_touchInside = false;
    setHighlighted(false);
    sendActionsForControlEvents(TouchCancel);
}

bool Control::pointCountsInside(const QPointF& point) const {
    return bounds().adjusted(-kTouchSlack, -kTouchSlack, kTouchSlack, kTouchSlack).contains(point);
}

bool Control::beginTracking(const QPointF&) {
    return true;
}

bool Control::continueTracking(const QPointF&) {
    return true;
}

void Control::endTracking(const QPointF&) {}

void Control::mousePressEvent(QMouseEvent* event) {
    // A disabled control swallows the touch, as on the phone, so nothing behind it reacts.
    event->accept();
    if (!m_enabled || event->button() != Qt::LeftButton) return;
    const QPointF p = event->position() + bounds().topLeft();
    m_tracking = true;
    m_touchInside = true;
    QPointer<Control> self(this);
    setHighlighted(true);
    sendActionsForControlEvents(TouchDown);
    if (self && m_tracking && !beginTracking(p)) m_tracking = false;
}

void Control::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (!m_tracking) return;
    const QPointF p = event->position() + bounds().topLeft();
    const bool inside = pointCountsInside(p);
    const bool was = m_touchInside;
    m_touchInside = inside;
    QPointer<Control> self(this);
    setHighlighted(inside);
    unsigned events = inside ? TouchDragInside : TouchDragOutside;
    if (inside != was) events |= inside ? TouchDragEnter : TouchDragExit;
    sendActionsForControlEvents(events);
    if (self && m_tracking && !continueTracking(p)) m_tracking = false;
}

void Control::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (!m_tracking || event->button() != Qt::LeftButton) return;
    const QPointF p = event->position() + bounds().topLeft();
    const bool inside = pointCountsInside(p);
    m_tracking = false;
    m_touchInside = false;
    QPointer<Control> self(this);
    endTracking(p);
    if (!self) return;
    setHighlighted(false);
    sendActionsForControlEvents(inside ? TouchUpInside : TouchUpOutside);
}

void Control::mouseDoubleClickEvent(QMouseEvent* event) {
    // A second quick click is one more tap, not a different gesture.
    mousePressEvent(event);
}

} // namespace ui
