#include "platform/foundation/Clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <limits>

namespace ns {

namespace {
Clock* g_installed = nullptr;

// The parent of pending timers: a child of the application, so timers still pending when the
// application goes (a quit in mid-animation) go with it instead of leaking.
QObject* timerHolder() {
    static QPointer<QObject> holder;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return nullptr;
    if (!holder || holder->parent() != app) holder = new QObject(app);
    return holder;
}
} // namespace

Clock& Clock::current() {
    static SystemClock system;
    return g_installed ? *g_installed : system;
}

void Clock::setCurrent(Clock* clock) {
    g_installed = clock;
}

Clock::TimerId Clock::nextId() {
    static TimerId last = 0; // main thread only, like every timer
    return ++last;
}

qint64 SystemClock::nowMs() const {
    static QElapsedTimer t = [] {
        QElapsedTimer e;
        e.start();
        return e;
    }();
    return t.elapsed();
}

Clock::TimerId SystemClock::schedule(qint64 delayMs, QObject* context, std::function<void()> fn) {
    const TimerId id = nextId();
    auto* timer = new QTimer(timerHolder());
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    const bool hadContext = context != nullptr;
    QPointer<QObject> guard(context);
    QObject::connect(timer, &QTimer::timeout, timer, [this, id, timer, guard, hadContext, fn] {
        m_timers.erase(id);
        timer->deleteLater();
        if (hadContext && !guard) return;
        fn();
    });
    if (context) QObject::connect(context, &QObject::destroyed, timer, &QObject::deleteLater);
    m_timers[id] = timer;
    // QTimer takes an int: a longer delay must not wrap around to a short or negative one.
    timer->start(int(std::clamp<qint64>(delayMs, 0, std::numeric_limits<int>::max())));
    return id;
}

void SystemClock::cancel(TimerId id) {
    auto it = m_timers.find(id);
    if (it == m_timers.end()) return;
    if (it->second) it->second->deleteLater();
    if (auto* t = qobject_cast<QTimer*>(it->second.data())) t->stop();
    m_timers.erase(it);
}

bool SystemClock::isScheduled(TimerId id) const {
    auto it = m_timers.find(id);
    return it != m_timers.end() && it->second;
}

Clock::TimerId ManualClock::schedule(qint64 delayMs, QObject* context, std::function<void()> fn) {
    const TimerId id = nextId();
    m_pending[id] = {m_now + std::max<qint64>(0, delayMs), context, context != nullptr,
                     std::move(fn)};
    return id;
}

void ManualClock::cancel(TimerId id) {
    m_pending.erase(id);
}

void ManualClock::advance(qint64 ms) {
    const qint64 target = m_now + std::max<qint64>(0, ms);
    for (;;) {
        auto next = m_pending.end();
        for (auto it = m_pending.begin(); it != m_pending.end(); ++it)
            if (it->second.due <= target &&
                (next == m_pending.end() || it->second.due < next->second.due))
                next = it;
        if (next == m_pending.end()) break;
        Pending p = std::move(next->second);
        m_pending.erase(next);
        m_now = std::max(m_now, p.due);
        if (p.hadContext && !p.context) continue;
        p.fn();
    }
    m_now = target;
}

void DelayedCall::start(qint64 delayMs, QObject* context, std::function<void()> fn, bool repeats) {
    cancel();
    m_delay = delayMs;
    m_context = context;
    m_fn = std::move(fn);
    m_repeats = repeats;
    arm();
}

void DelayedCall::arm() {
    m_clock = &Clock::current();
    m_id = m_clock->schedule(m_delay, m_context, [this] {
        m_id = 0;
        auto fn = m_fn; // the call may restart or cancel this DelayedCall
        if (m_repeats) arm();
        fn();
    });
}

void DelayedCall::cancel() {
    // A clock swapped out since (a test's manual clock gone out of scope) holds nothing to cancel.
    if (m_clock && m_id && m_clock == &Clock::current()) m_clock->cancel(m_id);
    m_id = 0;
}

bool DelayedCall::isActive() const {
    return m_clock && m_id && m_clock == &Clock::current() && m_clock->isScheduled(m_id);
}

Clock::TimerId performAfter(qint64 delayMs, QObject* context, std::function<void()> fn) {
    return Clock::current().schedule(delayMs, context, std::move(fn));
}

} // namespace ns
