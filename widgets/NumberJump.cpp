#include "widgets/NumberJump.h"

#include "platform/foundation/Clock.h"
#include "widgets/TextLayer.h"

#include <QObject>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kSteps = 100;

// The C library's "%.0f": halves go to the even neighbour (2.5 shows "2").
QString wholeNumber(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
    return QString::fromLatin1(buffer);
}

struct Sample {
    float time; // seconds from the start
    float value;
};

// The count of one layer. A child of the layer, so it dies with it and its pending step
// with it.
class JumpState : public QObject {
public:
    explicit JumpState(TextLayer* layer) : QObject(layer), m_layer(layer) {
        setObjectName(QStringLiteral("NumberJumpState"));
    }

    void start(int duration, float from, float to) {
        m_to = to;
        m_step = 0;
        m_previousMs = 0;
        m_layer->setString(wholeNumber(from));
        initPoints(duration, from, to);
        changeNumber();
    }

    bool isActive() const { return m_next.isActive() || m_step < kSteps; }

private:
    void initPoints(int duration, float from, float to) {
        const QPointF p0(0, 0), p1(0.1, 0.1), p2(0.9, 0.9), p3(1, 1);
        // 1/99, not 0.01, so that the last sample falls on t = 1.
        const float dt = 1.0f / 99.0f;
        for (int i = 0; i < kSteps; ++i) {
            const QPointF p = NumberJump::bezierPoint(p0, p1, p2, p3, float(i) * dt);
            m_samples[i] = {float(p.x()) * float(duration), from + float(p.y()) * (to - from)};
        }
    }

    void changeNumber() {
        if (m_step >= kSteps) {
            m_layer->setString(wholeNumber(m_to));
            return;
        }
        const Sample s = m_samples[m_step++];
        // Values are cut toward zero while counting; adding zero turns -0 into 0.
        m_layer->setString(wholeNumber(std::trunc(double(s.value)) + 0.0));
        const qint64 dueMs = std::llround(double(s.time) * 1000.0);
        const qint64 delay = std::max<qint64>(0, dueMs - m_previousMs);
        m_previousMs = dueMs;
        m_next.start(delay, this, [this] { changeNumber(); });
    }

    TextLayer* m_layer;
    std::array<Sample, kSteps> m_samples{};
    float m_to = 0;
    int m_step = kSteps;
    qint64 m_previousMs = 0;
    ns::DelayedCall m_next;
};

JumpState* stateOf(const TextLayer* layer) {
    return layer->findChild<JumpState*>(QStringLiteral("NumberJumpState"),
                                        Qt::FindDirectChildrenOnly);
}

} // namespace

namespace NumberJump {

QPointF bezierPoint(const QPointF& p0, const QPointF& p1, const QPointF& p2, const QPointF& p3,
                    float t) {
    auto axis = [t](float a0, float a1, float a2, float a3) {
        const float q1 = 3 * (a1 - a0);
        const float q2 = 3 * (a2 - a1) - q1;
        const float q3 = a3 - a0 - q1 - q2;
        return q3 * t * t * t + q2 * t * t + q1 * t + a0;
    };
    return {axis(float(p0.x()), float(p1.x()), float(p2.x()), float(p3.x())),
            axis(float(p0.y()), float(p1.y()), float(p2.y()), float(p3.y()))};
}

void jumpNumberWithDuration(TextLayer* layer, int duration, float fromNumber, float toNumber) {
    if (!layer) return;
    JumpState* state = stateOf(layer);
    if (!state) state = new JumpState(layer);
    state->start(duration, fromNumber, toNumber);
}

void jumpNumber(TextLayer* layer) {
    jumpNumberWithDuration(layer, 5, 0, 1000);
}

bool isJumping(const TextLayer* layer) {
    const JumpState* state = layer ? stateOf(layer) : nullptr;
    return state && state->isActive();
}

} // namespace NumberJump
