#include "platform/ui/Animation.h"

#include "platform/foundation/Clock.h"
#include "platform/ui/View.h"

#include <QPointer>
#include <cmath>
#include <list>
#include <memory>

namespace ui {

namespace {

constexpr qint64 kFrameMs = 16;

struct Running {
    QPointer<QObject> target;
    const QObject* targetKey;
    QString key;
    qint64 start;
    qint64 durationMs;
    std::function<double(double)> curve;
    Animation::Step step;
    Animation::Completion completion;
    bool done = false;
};

bool g_enabled = true;
std::list<std::shared_ptr<Running>> g_running;
ns::DelayedCall* g_ticker = nullptr;

void complete(const std::shared_ptr<Running>& r, bool finished) {
    if (r->done) return;
    r->done = true;
    g_running.remove(r);
    if (r->target && r->step) r->step(r->curve(1.0));
    if (r->completion && (r->target || !r->targetKey)) r->completion(finished);
}

void tick();

void ensureTicker(qint64 firstMs = kFrameMs) {
    if (!g_ticker) g_ticker = new ns::DelayedCall;
    if (!g_ticker->isActive()) g_ticker->start(firstMs, nullptr, tick);
}

void tick() {
    const qint64 now = ns::Clock::current().nowMs();
    const auto snapshot = g_running; // steps may start or finish animations
    for (const auto& r : snapshot) {
        if (r->done) continue;
        if (!r->target && r->targetKey) {
            r->done = true;
            g_running.remove(r);
            continue;
        }
        if (now < r->start) continue;
        const double t = r->durationMs <= 0 ? 1.0 : double(now - r->start) / double(r->durationMs);
        if (t >= 1.0) {
            complete(r, true);
        } else if (r->step) {
            r->step(r->curve(t));
        }
    }
    if (!g_running.empty()) ensureTicker();
}

std::shared_ptr<Running> find(const QObject* target, const QString& key) {
    for (const auto& r : g_running)
        if (!r->done && r->targetKey == target && r->key == key) return r;
    return nullptr;
}

void start(QObject* target, const QString& key, double duration,
           std::function<double(double)> curve, Animation::Step step,
           Animation::Completion completion, double delay) {
    if (auto old = find(target, key)) complete(old, false);
    auto r = std::make_shared<Running>();
    r->target = target;
    r->targetKey = target;
    r->key = key;
    r->curve = std::move(curve);
    r->step = std::move(step);
    r->completion = std::move(completion);
    if (!g_enabled) {
        r->done = true;
        if (r->step) r->step(r->curve(1.0));
        if (r->completion) r->completion(true);
        return;
    }
    const qint64 now = ns::Clock::current().nowMs();
    const qint64 delayMs = qint64(std::max(0.0, delay) * 1000);
    r->start = now + delayMs;
    r->durationMs = qint64(std::max(0.0, duration) * 1000);
    g_running.push_back(r);
    // What is drawn next reaches the display a frame later, so the first frame is drawn as
    // soon as the event loop is free, a frame on: a click answers within a frame, not after a
    // frame of unchanged picture.
    if (delayMs == 0 && r->durationMs > kFrameMs) {
        r->start = now - kFrameMs;
        ensureTicker(0);
        return;
    }
    ensureTicker();
}

} // namespace

void Animation::setEnabled(bool enabled) {
    g_enabled = enabled;
    if (!enabled) {
        while (!g_running.empty())
            complete(g_running.front(), true);
    }
}

bool Animation::isEnabled() {
    return g_enabled;
}

double Animation::ease(Curve curve, double t) {
    t = std::clamp(t, 0.0, 1.0);
    switch (curve) {
    case Curve::Linear:
        return t;
    case Curve::EaseIn:
        return t * t;
    case Curve::EaseOut:
        return t * (2 - t);
    case Curve::EaseInOut:
    case Curve::Spring:
        return t < 0.5 ? 2 * t * t : -1 + (4 - 2 * t) * t;
    }
    return t;
}

double Animation::spring(double t, double damping, double velocity) {
    t = std::clamp(t, 0.0, 1.0);
    if (t >= 1.0) return 1.0;
    // Under-damped oscillator settling by t = 1; damping 1 is critically damped.
    const double zeta = std::clamp(damping, 0.05, 1.0);
    const double omega = 12.0;
    const double x = t * 1.0;
    if (zeta >= 0.999) return 1 - (1 + (omega - velocity) * x) * std::exp(-omega * x);
    const double wd = omega * std::sqrt(1 - zeta * zeta);
    const double a = (zeta * omega - velocity) / wd;
    return 1 - std::exp(-zeta * omega * x) * (std::cos(wd * x) + a * std::sin(wd * x));
}

void Animation::run(QObject* target, const QString& key, double duration, Curve curve, Step step,
                    Completion completion, double delay) {
    start(
        target, key, duration, [curve](double t) { return ease(curve, t); }, std::move(step),
        std::move(completion), delay);
}

void Animation::runSpring(QObject* target, const QString& key, double duration, double damping,
                          double velocity, Step step, Completion completion, double delay) {
    start(
        target, key, duration,
        [damping, velocity](double t) { return spring(t, damping, velocity); }, std::move(step),
        std::move(completion), delay);
}

bool Animation::isRunning(const QObject* target, const QString& key) {
    return find(target, key) != nullptr;
}

void Animation::finish(QObject* target, const QString& key) {
    if (auto r = find(target, key)) complete(r, false);
}

int Animation::runningCount() {
    return int(g_running.size());
}

void Animation::animateFrame(View* view, const QRectF& to, double duration, Curve curve,
                             Completion completion, double delay) {
    if (!view) return;
    const QRectF from = view->frame();
    QPointer<View> v(view);
    run(
        view, "frame", duration, curve,
        [v, from, to](double p) {
            if (!v) return;
            v->setFrame(QRectF(from.x() + (to.x() - from.x()) * p,
                               from.y() + (to.y() - from.y()) * p,
                               from.width() + (to.width() - from.width()) * p,
                               from.height() + (to.height() - from.height()) * p));
        },
        std::move(completion), delay);
}

void Animation::animateAlpha(View* view, double to, double duration, Curve curve,
                             Completion completion, double delay) {
    if (!view) return;
    const double from = view->alpha();
    QPointer<View> v(view);
    run(
        view, "alpha", duration, curve,
        [v, from, to](double p) {
            if (v) v->setAlpha(from + (to - from) * p);
        },
        std::move(completion), delay);
}

} // namespace ui
