#pragma once

#include <QObject>
#include <QRectF>
#include <QString>
#include <functional>

namespace ui {

class View;

// Timed property animation driven by ns::Clock ticks. Tests call setEnabled(false): every
// animation then jumps to its end and completes at once, synchronously.
class Animation {
public:
    enum class Curve { Linear, EaseInOut, EaseIn, EaseOut, Spring };
    using Step = std::function<void(double progress)>; // 0..1 after the curve
    using Completion = std::function<void(bool finished)>;

    static void setEnabled(bool enabled);
    static bool isEnabled();

    // Runs step over duration seconds after delay seconds. A running animation of the same
    // (target, key) is interrupted first: it jumps to its end and completes with false, so a
    // completion always runs exactly once. Nothing runs after target is destroyed.
    static void run(QObject* target, const QString& key, double duration, Curve curve, Step step,
                    Completion completion = {}, double delay = 0);
    // A spring with the given damping ratio (0..1) and initial velocity, as the platform's
    // spring animations take them.
    static void runSpring(QObject* target, const QString& key, double duration, double damping,
                          double velocity, Step step, Completion completion = {}, double delay = 0);
    static bool isRunning(const QObject* target, const QString& key);
    // Jumps to the end and completes with false.
    static void finish(QObject* target, const QString& key);
    static int runningCount();

    // Conveniences over View frames and alpha.
    static void animateFrame(View* view, const QRectF& to, double duration,
                             Curve curve = Curve::EaseInOut, Completion completion = {}, double delay = 0);
    static void animateAlpha(View* view, double to, double duration,
                             Curve curve = Curve::EaseInOut, Completion completion = {}, double delay = 0);

    // The curve's value at t in [0, 1] (exposed for the spring and tests).
    static double ease(Curve curve, double t);
    static double spring(double t, double damping, double velocity);
};

// Disables animations for a scope (tests).
class ScopedInstantAnimations {
public:
    ScopedInstantAnimations() : m_was(Animation::isEnabled()) { Animation::setEnabled(false); }
    ~ScopedInstantAnimations() { Animation::setEnabled(m_was); }

private:
    bool m_was;
};

} // namespace ui
