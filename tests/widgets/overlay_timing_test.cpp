#include "platform/foundation/Clock.h"
#include "widgets/OverlayHUD.h"
#include "widgets/RoundProgressView.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

struct CountingDelegate : OverlayHUDDelegate {
    void hudWasHidden(OverlayHUD*) override {
        ++calls;
        atMs = ns::Clock::current().nowMs();
    }
    int calls = 0;
    qint64 atMs = -1;
};

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Runs the event loop until the quit handed to start is called, or 10 s pass.
void runLoop(const std::function<void(std::function<void()>)>& start) {
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    start([&loop] { loop.quit(); });
    loop.exec();
}

// One step of a script run against an overlay on a manual clock.
struct Step {
    enum Kind { Show, ShowAnimated, Hide, HideAnimated, Advance } kind;
    qint64 ms = 0;
};

struct TimingCase {
    const char* name;
    float graceTime;
    float minShowTime;
    bool taskInProgress;
    std::vector<Step> steps;
    bool everShown;    // alpha reached the shown value at some step
    qint64 hiddenAtMs; // when the delegate heard of it; -1: never
};

} // namespace

TEST(OverlayHUDTiming, GraceAndMinimumShowTimesTellDelegateAndCompletionOnce) {
    using S = Step;
    const std::vector<TimingCase> cases = {
        {"plain show and hide", 0, 0, false, {{S::Show}, {S::Advance, 50}, {S::Hide}}, true, 50},
        {"hide before the minimum show time waits for it",
         0,
         0.3f,
         false,
         {{S::Show}, {S::Advance, 100}, {S::HideAnimated}, {S::Advance, 199}, {S::Advance, 1}},
         true,
         300},
        {"a second hide during the wait replaces the timer, done runs once",
         0,
         0.3f,
         false,
         {{S::Show},
          {S::Advance, 100},
          {S::Hide},
          {S::Advance, 100},
          {S::HideAnimated},
          {S::Advance, 500}},
         true,
         300},
        {"a hide after the minimum show time hides at once",
         0,
         0.3f,
         false,
         {{S::Show}, {S::Advance, 400}, {S::Hide}, {S::Hide}},
         true,
         400},
        {"hide on a never-shown overlay finishes at once, even animated",
         0,
         0.3f,
         false,
         {{S::Advance, 10}, {S::HideAnimated}, {S::Advance, 1000}},
         false,
         10},
        {"grace time without a task: never shows",
         0.5f,
         0,
         false,
         {{S::Show}, {S::Advance, 2000}},
         false,
         -1},
        {"grace time with a running task shows once the grace is over",
         0.5f,
         0,
         true,
         {{S::ShowAnimated}, {S::Advance, 499}, {S::Advance, 1}, {S::Hide}},
         true,
         500},
        {"hidden during the grace time it never shows later",
         0.5f,
         0,
         true,
         {{S::Show}, {S::Advance, 100}, {S::Hide}, {S::Advance, 2000}},
         false,
         100},
    };
    for (const TimingCase& c : cases) {
        SCOPED_TRACE(c.name);
        ns::ScopedManualClock clock;
        ui::View host(QRectF(0, 0, 320, 568));
        auto* hud = new OverlayHUD(&host);
        host.addSubview(hud);
        QPointer<OverlayHUD> guard(hud);
        CountingDelegate delegate;
        int completions = 0;
        hud->setDelegate(&delegate);
        hud->setCompletionBlock([&completions] { ++completions; });
        hud->setGraceTime(c.graceTime);
        hud->setMinShowTime(c.minShowTime);
        hud->setTaskInProgress(c.taskInProgress);
        bool shown = false;
        for (const Step& s : c.steps) {
            if (!guard) break;
            switch (s.kind) {
            case S::Show:
                hud->show(false);
                break;
            case S::ShowAnimated:
                hud->show(true);
                break;
            case S::Hide:
                hud->hide(false);
                break;
            case S::HideAnimated:
                hud->hide(true);
                break;
            case S::Advance:
                clock.clock.advance(s.ms);
                break;
            }
            if (guard && guard->alpha() == OverlayHUD::kShownAlpha) shown = true;
        }
        EXPECT_EQ(shown, c.everShown);
        EXPECT_EQ(delegate.atMs, c.hiddenAtMs);
        const int expectedCalls = c.hiddenAtMs >= 0 ? 1 : 0;
        EXPECT_EQ(delegate.calls, expectedCalls);
        EXPECT_EQ(completions, expectedCalls);
        if (expectedCalls) {
            // Hidden: off the host, never a window of its own, then gone.
            ASSERT_TRUE(guard);
            EXPECT_EQ(guard->alpha(), 0.0);
            EXPECT_EQ(OverlayHUD::HUDForView(&host), nullptr);
            EXPECT_FALSE(guard->isVisible());
            flushDeletes();
            EXPECT_FALSE(guard);
        }
        delete guard.data();
    }
}

TEST(OverlayHUDTiming, PendingTimersDieWithTheOverlay) {
    ns::ScopedManualClock clock;
    CountingDelegate delegate;
    {
        ui::View host(QRectF(0, 0, 320, 568));
        OverlayHUD* waiting = OverlayHUD::showHUDAddedTo(&host, false);
        waiting->setDelegate(&delegate);
        waiting->setMinShowTime(1);
        waiting->show(false);
        waiting->hide(true); // waits for the minimum show time
        OverlayHUD* delayed = OverlayHUD::showHUDAddedTo(&host, false);
        delayed->setDelegate(&delegate);
        delayed->hideAfterDelay(true, 2);
        OverlayHUD* grace = new OverlayHUD(&host);
        host.addSubview(grace);
        grace->setGraceTime(1);
        grace->setTaskInProgress(true);
        grace->show(true);
    } // host and its overlays go
    clock.clock.advance(5000);
    EXPECT_EQ(delegate.calls, 0);
}

TEST(OverlayHUDTiming, DelegateMayDeleteTheOverlayWhileBeingTold) {
    struct Deleting : OverlayHUDDelegate {
        void hudWasHidden(OverlayHUD* hud) override { delete hud; }
    } deleting;
    ui::View host(QRectF(0, 0, 100, 100));
    OverlayHUD* hud = OverlayHUD::showHUDAddedTo(&host, false);
    QPointer<OverlayHUD> guard(hud);
    bool completed = false;
    hud->setDelegate(&deleting);
    hud->setCompletionBlock([&completed] { completed = true; });
    hud->hide(true);
    EXPECT_FALSE(guard);
    EXPECT_FALSE(completed);
}

TEST(OverlayHUDHost, HelpersFindAndHideTheTopmostOrAll) {
    ui::View host(QRectF(0, 0, 320, 568));
    EXPECT_EQ(OverlayHUD::HUDForView(&host), nullptr);
    EXPECT_FALSE(OverlayHUD::hideHUDForView(&host, true));
    EXPECT_EQ(OverlayHUD::hideAllHUDsForView(&host, true), 0u);
    EXPECT_EQ(OverlayHUD::HUDForView(nullptr), nullptr);

    QPointer<OverlayHUD> lower = OverlayHUD::showHUDAddedTo(&host, false);
    auto* other = new ui::View(QRectF(0, 0, 10, 10));
    host.addSubview(other);
    QPointer<OverlayHUD> upper = OverlayHUD::showHUDAddedTo(&host, false);
    EXPECT_EQ(OverlayHUD::HUDForView(&host), upper);
    EXPECT_EQ(OverlayHUD::allHUDsForView(&host), (QList<OverlayHUD*>{lower, upper}));

    EXPECT_TRUE(OverlayHUD::hideHUDForView(&host, true));
    EXPECT_TRUE(upper->isFinished());
    EXPECT_FALSE(lower->isFinished());
    EXPECT_EQ(OverlayHUD::HUDForView(&host), lower);

    QPointer<OverlayHUD> third = OverlayHUD::showHUDAddedTo(&host, false);
    EXPECT_EQ(OverlayHUD::hideAllHUDsForView(&host, true), 2u);
    EXPECT_TRUE(lower->isFinished());
    EXPECT_TRUE(third->isFinished());
    EXPECT_TRUE(OverlayHUD::allHUDsForView(&host).isEmpty());
    flushDeletes();
    EXPECT_FALSE(lower);
    EXPECT_FALSE(upper);
    EXPECT_FALSE(third);
    EXPECT_EQ(host.subviews(), (QList<ui::View*>{other}));
}

TEST(OverlayHUDHost, TaskOnThePoolHidesAndCompletesOnTheMainThread) {
    ns::ScopedManualClock clock;
    ui::View host(QRectF(0, 0, 320, 568));
    auto* hud = new OverlayHUD(&host);
    host.addSubview(hud);
    hud->setGraceTime(0.5f); // the task ends before the grace is over: never shown
    bool completed = false;
    bool onMain = false;
    runLoop([&](std::function<void()> quit) {
        hud->showAnimatedWhileExecutingBlockCompletionBlock(
            true, [] {},
            [&, quit] {
                completed = true;
                onMain = QThread::currentThread() == qApp->thread();
                quit();
            });
        EXPECT_TRUE(hud->taskInProgress());
    });
    EXPECT_TRUE(completed);
    EXPECT_TRUE(onMain);
    EXPECT_FALSE(hud->taskInProgress());
    EXPECT_EQ(hud->alpha(), 0.0);
    clock.clock.advance(1000);
    EXPECT_EQ(hud->alpha(), 0.0); // the grace timer finds no task
    flushDeletes();
}

TEST(OverlayHUDHost, ProgressSetOnAnotherThreadReachesTheIndicator) {
    ui::View host(QRectF(0, 0, 320, 568));
    OverlayHUD* hud = OverlayHUD::showHUDAddedTo(&host, false);
    hud->setMode(OverlayHUD::kModePie);
    runLoop([hud](std::function<void()> quit) {
        hud->showWhileExecuting([hud] { hud->setProgress(0.5f); }, false);
        // The overlay hides on the main thread once the thread has ended.
        hud->setCompletionBlock(quit);
    });
    EXPECT_TRUE(hud->isFinished());
    QList<RoundProgressView*> rounds = hud->findChildren<RoundProgressView*>();
    ASSERT_EQ(rounds.size(), 1);
    EXPECT_FLOAT_EQ(rounds.first()->progress(), 0.5f);
    flushDeletes();
}
