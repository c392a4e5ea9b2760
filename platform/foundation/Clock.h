#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <map>

namespace ns {

// The time source of every timer and delayed call. Tests install a ManualClock and advance it,
// so nothing sleeps.
class Clock {
public:
    using TimerId = quint64;
    virtual ~Clock() = default;

    static Clock& current();
    // Installs a clock (not owned); nullptr restores the system clock.
    static void setCurrent(Clock* clock);

    // Milliseconds on a monotonic scale.
    virtual qint64 nowMs() const = 0;
    // Runs fn once after delayMs unless cancelled; never runs it after context is destroyed.
    virtual TimerId schedule(qint64 delayMs, QObject* context, std::function<void()> fn) = 0;
    virtual void cancel(TimerId id) = 0;
    virtual bool isScheduled(TimerId id) const = 0;

protected:
    // Unique across every clock of the process: a clock made where an earlier one stood (a
    // test's manual clock in a loop) never answers for the earlier one's timers.
    static TimerId nextId();
};

class SystemClock final : public Clock {
public:
    qint64 nowMs() const override;
    TimerId schedule(qint64 delayMs, QObject* context, std::function<void()> fn) override;
    void cancel(TimerId id) override;
    bool isScheduled(TimerId id) const override;

private:
    std::map<TimerId, QPointer<QObject>> m_timers; // id -> QTimer
};

// A clock that moves only when told to. advance() fires what falls due, in time order,
// including calls scheduled by the calls it fires.
class ManualClock final : public Clock {
public:
    qint64 nowMs() const override { return m_now; }
    TimerId schedule(qint64 delayMs, QObject* context, std::function<void()> fn) override;
    void cancel(TimerId id) override;
    bool isScheduled(TimerId id) const override { return m_pending.count(id) != 0; }

    void advance(qint64 ms);
    void advanceSeconds(double s) { advance(qint64(s * 1000 + 0.5)); }
    int pendingCount() const { return int(m_pending.size()); }

private:
    struct Pending {
        qint64 due;
        QPointer<QObject> context;
        bool hadContext;
        std::function<void()> fn;
    };
    std::map<TimerId, Pending> m_pending;
    qint64 m_now = 0;
};

// Installs a ManualClock for a scope (tests).
class ScopedManualClock {
public:
    ScopedManualClock() { Clock::setCurrent(&clock); }
    ~ScopedManualClock() { Clock::setCurrent(nullptr); }
    ManualClock clock;
};

// One pending call owned by an object: cancelled when restarted or destroyed.
class DelayedCall {
public:
    DelayedCall() = default;
    ~DelayedCall() { cancel(); }
    DelayedCall(const DelayedCall&) = delete;
    DelayedCall& operator=(const DelayedCall&) = delete;

    // Replaces any pending call. With repeats the call runs every delayMs until cancelled.
    void start(qint64 delayMs, QObject* context, std::function<void()> fn, bool repeats = false);
    void cancel();
    bool isActive() const;

private:
    void arm();
    Clock* m_clock = nullptr;
    Clock::TimerId m_id = 0;
    qint64 m_delay = 0;
    QPointer<QObject> m_context;
    std::function<void()> m_fn;
    bool m_repeats = false;
};

// Fire-and-forget delayed perform bound to a context object.
Clock::TimerId performAfter(qint64 delayMs, QObject* context, std::function<void()> fn);

} // namespace ns
