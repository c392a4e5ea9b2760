#include "platform/ui/PanGestureRecognizer.h"

#include <cmath>

namespace ui {

namespace {
constexpr qint64 kVelocityWindowMs = 100;
} // namespace

PanGestureRecognizer::PanGestureRecognizer(QObject* parent) : GestureRecognizer(parent) {}

QPointF PanGestureRecognizer::translationInView(const View*) const {
    // Views only translate, so a movement measures the same in every view.
    return lastTouch().location - m_start;
}

void PanGestureRecognizer::setTranslation(const QPointF& translation, const View*) {
    m_start = lastTouch().location - translation;
}

QPointF PanGestureRecognizer::velocityInView(const View*) const {
    return m_velocity;
}

bool PanGestureRecognizer::canBeginWithTranslation(const QPointF& t) const {
    return std::hypot(t.x(), t.y()) >= m_hysteresis;
}

void PanGestureRecognizer::sample(const Touch& touch) {
    m_samples.emplace_back(touch.timeMs, touch.location);
    while (m_samples.size() > 1 && touch.timeMs - m_samples.front().first > kVelocityWindowMs)
        m_samples.pop_front();
    const auto& first = m_samples.front();
    const qint64 dt = touch.timeMs - first.first;
    if (dt > 0)
        m_velocity = (touch.location - first.second) * (1000.0 / double(dt));
    else if (m_samples.size() == 1)
        m_velocity = QPointF(0, 0); // held still past the window
}

void PanGestureRecognizer::began(const Touch& touch) {
    m_start = touch.location;
    m_samples.clear();
    m_velocity = QPointF(0, 0);
    sample(touch);
}

void PanGestureRecognizer::moved(const Touch& touch) {
    sample(touch);
    if (state() == State::Possible) {
        if (canBeginWithTranslation(touch.location - m_start)) setState(State::Began);
    } else if (state() == State::Began || state() == State::Changed) {
        setState(State::Changed);
    }
}

void PanGestureRecognizer::ended(const Touch& touch) {
    sample(touch);
    if (state() == State::Began || state() == State::Changed)
        setState(State::Ended);
    else
        setState(State::Failed);
}

void PanGestureRecognizer::didReset() {
    m_samples.clear();
    m_velocity = QPointF(0, 0);
}

} // namespace ui
