#include "platform/ui/TapGestureRecognizer.h"

#include <cmath>

namespace ui {

namespace {
constexpr double kTapSlop = 10;
} // namespace

TapGestureRecognizer::TapGestureRecognizer(QObject* parent) : GestureRecognizer(parent) {}

void TapGestureRecognizer::began(const Touch& touch) {
    m_start = touch.location;
}

void TapGestureRecognizer::moved(const Touch& touch) {
    const QPointF d = touch.location - m_start;
    if (std::hypot(d.x(), d.y()) > kTapSlop) setState(State::Failed);
}

void TapGestureRecognizer::ended(const Touch& touch) {
    const QPointF d = touch.location - m_start;
    setState(std::hypot(d.x(), d.y()) > kTapSlop ? State::Failed : State::Ended);
}

} // namespace ui
