#include "platform/ui/GestureRecognizer.h"

#include "platform/foundation/Clock.h"
#include "platform/ui/TouchInput.h"
#include "platform/ui/View.h"

namespace ui {

QPointF Touch::locationInView(const View* v) const {
    if (!v) return location;
    return location - v->convertPointToView(QPointF(0, 0), nullptr);
}

Touch Touch::at(View* view, const QPointF& point) {
    Touch t;
    t.view = view;
    t.location = view ? view->convertPointToView(point, nullptr) : point;
    t.timeMs = ns::Clock::current().nowMs();
    return t;
}

GestureRecognizer::GestureRecognizer(QObject* parent) : QObject(parent) {
    TouchInput::install();
}

GestureRecognizer::~GestureRecognizer() {
    if (m_view) m_view->removeGestureRecognizer(this);
}

void GestureRecognizer::setView(View* view) {
    if (m_view == view) return;
    if (m_active) touchesCancelled();
    m_view = view;
}

void GestureRecognizer::setEnabled(bool enabled) {
    if (enabled == m_enabled) return;
    if (!enabled && m_active) touchesCancelled();
    m_enabled = enabled;
}

void GestureRecognizer::addTarget(QObject* target, Action action) {
    if (action) m_targets.push_back({target, target != nullptr, std::move(action)});
}

void GestureRecognizer::removeTarget(QObject* target) {
    std::erase_if(m_targets, [target](const Target& t) { return !target || t.target == target; });
}

QPointF GestureRecognizer::locationInView(const View* view) const {
    return m_last.locationInView(view);
}

bool GestureRecognizer::shouldReceiveTouch(const Touch& touch) {
    if (!m_enabled || !m_view) return false;
    if (GestureRecognizerDelegate* d = m_delegate.get())
        return d->gestureRecognizerShouldReceiveTouch(this, touch);
    return true;
}

void GestureRecognizer::touchesBegan(const Touch& touch) {
    if (!m_enabled) return;
    if (m_state != State::Possible && m_state != State::Began && m_state != State::Changed) reset();
    m_active = true;
    m_last = touch;
    began(touch);
}

void GestureRecognizer::touchesMoved(const Touch& touch) {
    if (!m_active || m_state == State::Failed) return;
    m_last = touch;
    moved(touch);
}

void GestureRecognizer::touchesEnded(const Touch& touch) {
    if (!m_active) return;
    m_last = touch;
    m_active = false;
    if (m_state == State::Failed) return;
    ended(touch);
}

void GestureRecognizer::touchesCancelled() {
    if (!m_active) return;
    m_active = false;
    if (m_state == State::Failed) return;
    cancelled();
}

void GestureRecognizer::cancelled() {
    if (m_state == State::Began || m_state == State::Changed)
        setState(State::Cancelled);
    else
        setState(State::Failed);
}

void GestureRecognizer::fail() {
    if (m_state == State::Possible) m_state = State::Failed;
}

void GestureRecognizer::reset() {
    m_state = State::Possible;
    m_active = false;
    didReset();
}

void GestureRecognizer::setState(State state) {
    m_state = state;
    if (state != State::Possible && state != State::Failed) sendActions();
}

void GestureRecognizer::sendActions() {
    QPointer<GestureRecognizer> self(this);
    const auto snapshot = m_targets;
    for (const Target& t : snapshot) {
        if (!self) return;
        if (t.hadTarget && !t.target) continue;
        t.action(this);
    }
    if (self) emit action(this);
}

} // namespace ui
