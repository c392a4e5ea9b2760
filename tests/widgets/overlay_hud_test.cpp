#include "app/core/BFHudUtils.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Animation.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "tests/support/AnimationFrames.h"
#include "tests/support/Wait.h"
#include "widgets/BarProgressView.h"
#include "widgets/InterfaceOrientation.h"
#include "widgets/OverlayHUD.h"
#include "widgets/OverlayHUDSpinner.h"
#include "widgets/RoundProgressView.h"

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QPointer>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct CountingDelegate : OverlayHUDDelegate {
    void hudWasHidden(OverlayHUD*) override {
        ++calls;
        atMs = ns::Clock::current().nowMs();
    }
    int calls = 0;
    qint64 atMs = -1;
};

// A screen-sized host with one overlay shown on it at once.
struct OverlayHUDTest : ::testing::Test {
    OverlayHUD* shown(QRectF hostRect = QRectF(0, 0, 320, 568)) {
        host.setFrame(hostRect);
        return OverlayHUD::showHUDAddedTo(&host, false);
    }
    ns::ScopedManualClock clock;
    ui::View host{QRectF(0, 0, 320, 568)};
};

struct TimingCase {
    const char* name;
    float graceTime;
    float minShowTime;
    bool taskInProgress;
    // Words run in order: show, show~ (animated), hide, hide~, or a number of ms to pass.
    const char* script;
    bool everShown;    // alpha reached the shown value at some step
    qint64 hiddenAtMs; // when the delegate heard of it; -1: never
};

} // namespace

TEST(OverlayHUDTiming, GraceAndMinimumShowTimesTellDelegateAndCompletionOnce) {
    const TimingCase cases[] = {
        {"plain show and hide", 0, 0, false, "show 50 hide", true, 50},
        {"hide before the minimum show time waits", 0, 0.3f, false, "show 100 hide~ 199 1", true,
         300},
        {"a second hide in the wait replaces the timer", 0, 0.3f, false,
         "show 100 hide 100 hide~ 500", true, 300},
        {"a hide after the minimum hides at once", 0, 0.3f, false, "show 400 hide hide", true, 400},
        {"hiding a never-shown overlay ends at once", 0, 0.3f, false, "10 hide~ 1000", false, 10},
        {"grace time without a task: never shows", 0.5f, 0, false, "show 2000", false, -1},
        {"grace time with a task shows after it", 0.5f, 0, true, "show~ 499 1 hide", true, 500},
        {"hidden during the grace: never shows", 0.5f, 0, true, "show 100 hide 2000", false, 100},
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
        for (const QString& word : QString::fromLatin1(c.script).split(' ')) {
            if (!guard) break;
            if (word.startsWith("show"))
                hud->show(word.endsWith('~'));
            else if (word.startsWith("hide"))
                hud->hide(word.endsWith('~'));
            else
                clock.clock.advance(word.toLongLong());
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

TEST_F(OverlayHUDTest, DelegateMayDeleteTheOverlayWhileBeingTold) {
    struct Deleting : OverlayHUDDelegate {
        void hudWasHidden(OverlayHUD* hud) override { delete hud; }
    } deleting;
    QPointer<OverlayHUD> hud = shown();
    bool completed = false;
    hud->setDelegate(&deleting);
    hud->setCompletionBlock([&completed] { completed = true; });
    hud->hide(true);
    EXPECT_FALSE(hud);
    EXPECT_FALSE(completed);
}

TEST_F(OverlayHUDTest, HelpersFindAndHideTheTopmostOrAll) {
    EXPECT_EQ(OverlayHUD::HUDForView(&host), nullptr);
    EXPECT_FALSE(OverlayHUD::hideHUDForView(&host, true));
    EXPECT_EQ(OverlayHUD::hideAllHUDsForView(&host, true), 0u);
    EXPECT_EQ(OverlayHUD::HUDForView(nullptr), nullptr);

    QPointer<OverlayHUD> lower = shown();
    auto* other = new ui::View(QRectF(0, 0, 10, 10));
    host.addSubview(other);
    QPointer<OverlayHUD> upper = shown();
    EXPECT_EQ(OverlayHUD::HUDForView(&host), upper);
    EXPECT_EQ(OverlayHUD::allHUDsForView(&host), (QList<OverlayHUD*>{lower, upper}));

    EXPECT_TRUE(OverlayHUD::hideHUDForView(&host, true));
    EXPECT_TRUE(upper->isFinished());
    EXPECT_FALSE(lower->isFinished());
    EXPECT_EQ(OverlayHUD::HUDForView(&host), lower);

    QPointer<OverlayHUD> third = shown();
    EXPECT_EQ(OverlayHUD::hideAllHUDsForView(&host, true), 2u);
    EXPECT_TRUE(lower->isFinished() && third->isFinished());
    EXPECT_TRUE(OverlayHUD::allHUDsForView(&host).isEmpty());
    flushDeletes();
    EXPECT_TRUE(!lower && !upper && !third);
    EXPECT_EQ(host.subviews(), (QList<ui::View*>{other}));
}

TEST_F(OverlayHUDTest, TaskOnThePoolHidesAndCompletesOnTheMainThread) {
    auto* hud = new OverlayHUD(&host);
    host.addSubview(hud);
    hud->setGraceTime(0.5f); // the task ends before the grace is over: never shown
    QPointer<OverlayHUD> guard(hud);
    bool completed = false, onMain = false, inProgress = true;
    double alpha = -1;
    // Read as the overlay completes: it may be gone once the loop runs on.
    hud->showAnimatedWhileExecutingBlockCompletionBlock(
        true, [] {},
        [&] {
            completed = true;
            onMain = QThread::currentThread() == qApp->thread();
            inProgress = guard->taskInProgress();
            alpha = guard->alpha();
        });
    EXPECT_TRUE(hud->taskInProgress());
    EXPECT_TRUE(waitUntil([&] { return completed; }));
    EXPECT_TRUE(onMain);
    EXPECT_FALSE(inProgress);
    EXPECT_EQ(alpha, 0.0);
    clock.clock.advance(1000);
    if (guard) {
        EXPECT_EQ(guard->alpha(), 0.0); // the grace timer finds no task
    }
    flushDeletes();
}

TEST_F(OverlayHUDTest, ProgressSetOnAnotherThreadReachesTheIndicator) {
    OverlayHUD* hud = shown();
    hud->setMode(OverlayHUD::kModePie);
    QList<float> seen; // read as the overlay finishes, on the main thread
    hud->showWhileExecuting([hud] { hud->setProgress(0.5f); }, false);
    hud->setCompletionBlock([&seen, hud] {
        for (auto* round : hud->findChildren<RoundProgressView*>())
            seen.append(round->progress());
    });
    EXPECT_TRUE(waitUntil([&] { return !seen.isEmpty(); }));
    EXPECT_EQ(seen, QList<float>{0.5f});
    flushDeletes();
}

TEST_F(OverlayHUDTest, BoxesHoldTheirPartsWhereAPersonLooks) {
    OverlayHUD* loading = shown();
    loading->setDetailsLabelText(QStringLiteral("加载中,请稍后..."));
    loading->setSquare(true);
    loading->layoutSubviews();
    // An empty title takes no line; the text sits below the spinner, all in a centred square.
    EXPECT_EQ(loading->labelFrame().size(), QSizeF(0, 0));
    EXPECT_EQ(loading->size().width(), loading->size().height());
    const QRectF spinner = loading->indicator()->frame();
    EXPECT_EQ(spinner.size(), QSizeF(37, 37));
    EXPECT_DOUBLE_EQ(loading->detailsLabelFrame().top(), spinner.bottom() + 4);
    EXPECT_TRUE(loading->boxRect().contains(spinner.united(loading->detailsLabelFrame())));
    EXPECT_NEAR(loading->boxRect().center().x(), 160, 0.5);
    EXPECT_NEAR(loading->boxRect().center().y(), 284, 0.5);

    OverlayHUD* text = shown();
    text->setMode(OverlayHUD::kModeText);
    text->setDetailsLabelText(QStringLiteral("已提交")); // no spacing above the text
    text->layoutSubviews();
    EXPECT_DOUBLE_EQ(text->detailsLabelFrame().top(), text->boxRect().top() + 20);

    text->setMinSize(QSizeF(200, 150));
    text->setXOffset(15);
    text->setYOffset(-30);
    text->layoutSubviews();
    EXPECT_EQ(text->boxRect(), QRectF(60 + 15, 209 - 30, 200, 150));

    OverlayHUD* wide = shown(QRectF(0, 0, 320, 120));
    wide->setLabelText(QString(60, QChar(u'长')));
    wide->setSquare(true);
    wide->layoutSubviews();
    EXPECT_EQ(wide->size().width(), 280);  // clamped text 240 plus margins: fits W - 2m
    EXPECT_LT(wide->size().height(), 120); // a 280-high square would not fit
}

TEST_F(OverlayHUDTest, ModesChooseTheIndicator) {
    enum Kind { Spinner, Ring, Bar, Custom, None };
    struct Step {
        int mode;
        Kind expected;
        bool sameAsBefore;
    };
    // One overlay goes through these modes in order.
    const Step steps[] = {
        {OverlayHUD::kModeSpinner, Spinner, true}, // the spinner made at creation stays
        {OverlayHUD::kModeRing, Ring, false},
        {OverlayHUD::kModePie, Ring, true}, // a ring stays a ring
        {OverlayHUD::kModeBar, Bar, false},
        {OverlayHUD::kModeBar, Bar, false}, // a bar is always made anew
        {42, Bar, true},                    // unknown modes change nothing
        {OverlayHUD::kModeCustomView, Custom, false},
        {OverlayHUD::kModeText, None, false},
        {OverlayHUD::kModeCustomView, Custom, false},
        {OverlayHUD::kModeSpinner, Spinner, false},
    };
    OverlayHUD* hud = shown();
    QPointer<ui::View> custom = new ui::View(QRectF(0, 0, 20, 30));
    hud->setCustomView(custom);
    QPointer<ui::View> previous = hud->indicator();
    for (const Step& s : steps) {
        SCOPED_TRACE(&s - steps);
        hud->setMode(s.mode);
        ui::View* now = hud->indicator();
        auto* round = qobject_cast<RoundProgressView*>(now);
        EXPECT_EQ(bool(qobject_cast<OverlayHUDSpinner*>(now)), s.expected == Spinner);
        EXPECT_EQ(round && round->isAnnular(), s.expected == Ring);
        EXPECT_EQ(bool(qobject_cast<BarProgressView*>(now)), s.expected == Bar);
        EXPECT_EQ(now && now == custom.data(), s.expected == Custom);
        EXPECT_EQ(now == nullptr, s.expected == None);
        EXPECT_EQ(now == previous.data(), s.sameAsBefore);
        if (now) {
            EXPECT_EQ(now->superview(), hud);
        }
        previous = now;
    }
    // The custom view survived being switched away from and back.
    EXPECT_TRUE(custom);
}

TEST_F(OverlayHUDTest, BoxColourWinsOverOpacity) {
    OverlayHUD* hud = shown();
    hud->setAlpha(1.0);
    hud->setMode(OverlayHUD::kModeText);
    hud->setMinSize(QSizeF(100, 100));
    hud->setColor(QColor(200, 0, 0));
    hud->setOpacity(0);
    hud->layoutSubviews();
    const QImage image = hud->renderToImage();
    EXPECT_EQ(image.pixelColor(160, 284), QColor(200, 0, 0));
    EXPECT_EQ(image.pixelColor(5, 5).alpha(), 0); // no dimming asked
}

TEST_F(OverlayHUDTest, LoadingPresetsShowAtOnceWithTheirText) {
    using Preset = std::function<OverlayHUD*(ui::View*, OverlayHUDDelegate*)>;
    const std::pair<Preset, QString> presets[] = {
        {BFHudUtils::login, QStringLiteral("登录中...")},
        {BFHudUtils::loading, QStringLiteral("加载中,请稍后...")},
        {BFHudUtils::submiting, QStringLiteral("提交中,请稍后...")},
    };
    for (const auto& [preset, text] : presets) {
        SCOPED_TRACE(text.toStdString());
        ui::View screen(QRectF(0, 0, 320, 568));
        OverlayHUD* hud = preset(&screen, nullptr);
        EXPECT_EQ(OverlayHUD::HUDForView(&screen), hud);
        EXPECT_EQ(hud->detailsLabelText(), text);
        EXPECT_EQ(hud->alpha(), OverlayHUD::kShownAlpha);
    }
}

TEST_F(OverlayHUDTest, MessagesHideThemselves) {
    const std::tuple<const char*, std::function<OverlayHUD*(ui::View*)>, qint64> cases[] = {
        {"loading shown and hidden at once stays 0.3 s",
         [](ui::View* v) {
             OverlayHUD* hud = BFHudUtils::loading(v, nullptr);
             hud->hide(true);
             return hud;
         },
         300},
        {"text", [](ui::View* v) { return BFHudUtils::showText("已保存", v, nullptr); }, 2000},
        {"reply result",
         [](ui::View* v) {
             return BFHudUtils::showCommonWithRequest(QVariantMap{{"state", 1}}, v, nullptr, "成功",
                                                      "");
         },
         1200},
        {"picture",
         [](ui::View* v) { return BFHudUtils::cusIndicatorHiddenDelay("好", v, nullptr, 0, 9.0); },
         1000},
    };
    for (const auto& [name, make, goneAfterMs] : cases) {
        SCOPED_TRACE(name);
        QPointer<OverlayHUD> hud = make(&host);
        clock.clock.advance(goneAfterMs - 1);
        EXPECT_FALSE(hud->isFinished());
        EXPECT_EQ(hud->alpha(), OverlayHUD::kShownAlpha);
        clock.clock.advance(1);
        EXPECT_TRUE(hud->isFinished());
        EXPECT_EQ(OverlayHUD::HUDForView(&host), nullptr);
        flushDeletes();
        EXPECT_FALSE(hud);
        clock.clock.advance(5000); // later delayed hides find nothing
    }
}

TEST(BFHudUtils, CommonTextFollowsTheReplyState) {
    const std::tuple<QVariant, QString, QString> cases[] = {
        {QVariant(), "失败", ""},
        {QVariantMap(), "失败", ""},
        {QVariantList(), "失败", ""},
        {QVariantMap{{"state", 1}}, "失败", "成功"},
        {QVariantMap{{"state", "1"}}, "失败", "成功"},
        {QVariantMap{{"state", 0}}, "失败", "失败"},
        {QVariantMap{{"state", 0}}, "", "操作失败"},
        {QVariantMap{{"other", 1}}, QString(), "操作失败"},
        {QVariantList{1, 2}, "", "操作失败"},
    };
    for (const auto& [reply, error, expected] : cases)
        EXPECT_EQ(BFHudUtils::commonText(reply, "成功", error), expected)
            << reply.toString().toStdString() << "/" << error.toStdString();
}

TEST_F(OverlayHUDTest, LoadingOverlayDimsTheScreenAndDrawsABox) {
    host.setBackgroundColor(QColor(242, 242, 242));
    OverlayHUD* hud = BFHudUtils::loading(&host, nullptr);
    hud->layoutIfNeeded();
    hud->layoutSubviews();
    const QImage shot = host.renderToImage(2.0);
    const QString keep = qEnvironmentVariable("TAVRIX_SCREENSHOT_DIR");
    if (!keep.isEmpty()) shot.save(keep + "/loading_overlay.png");

    // Inside the box, away from the spinner and text: black at 0.8 over the dimmed screen,
    // all at the overlay's alpha of 0.65.
    const QRectF box = hud->boxRect();
    const QColor inBox = shot.pixelColor(int((box.left() + 4) * 2), int(box.center().y() * 2));
    EXPECT_LT(inBox.red(), 110);
    EXPECT_NEAR(inBox.red(), inBox.blue(), 2);
    // The dimming darkens the corners more than the middle, but leaves the screen visible.
    const QColor corner = shot.pixelColor(2, 2);
    const QColor nearBox = shot.pixelColor(int((box.left() - 10) * 2), int(box.center().y() * 2));
    EXPECT_LT(corner.red(), nearBox.red());
    EXPECT_GT(corner.red(), inBox.red());
    // The spinner and the text are drawn in white: bright pixels in the box.
    int bright = 0;
    for (int y = int(box.top() * 2); y < int(box.bottom() * 2); ++y)
        for (int x = int(box.left() * 2); x < int(box.right() * 2); ++x)
            bright += shot.pixelColor(x, y).red() > 180;
    EXPECT_GT(bright, 50);
}

// On a window the overlay turns with the status bar: laid out upright in the turned bounds,
// the spinner above the text as the subscriber reads them. On any other host it stays upright.
TEST_F(OverlayHUDTest, OnAWindowTheOverlayTurnsWithTheStatusBar) {
    ui::Window window;
    window.setRootViewController(new ui::ViewController);
    window.makeKeyAndVisible();
    QPointer<OverlayHUD> onWindow = new OverlayHUD(&window);
    EXPECT_EQ(onWindow->frame(), window.rootView()->bounds());
    onWindow->setDetailsLabelText(QStringLiteral("加载中,请稍后..."));
    window.rootView()->addSubview(onWindow);
    onWindow->show(false);
    OverlayHUD* inView = shown();
    auto post = [] {
        ns::NotificationCenter::defaultCenter().postNotificationName(
            "UIDeviceOrientationDidChangeNotification");
    };
    const struct {
        int orientation;
        double angle;
        QSizeF layoutSize;
        QPointF spinnerDirection; // from the overlay's centre, on screen
    } cases[] = {
        {InterfaceOrientation::LandscapeRight, M_PI / 2, {568, 320}, {1, 0}},
        {InterfaceOrientation::PortraitUpsideDown, M_PI, {320, 568}, {0, 1}},
        {InterfaceOrientation::LandscapeLeft, -M_PI / 2, {568, 320}, {-1, 0}},
        {InterfaceOrientation::Portrait, 0, {320, 568}, {0, -1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.orientation);
        InterfaceOrientation::setStatusBarOrientation(c.orientation);
        post();
        onWindow->layoutSubviews();
        EXPECT_DOUBLE_EQ(onWindow->rotationTransform(), c.angle);
        EXPECT_DOUBLE_EQ(onWindow->drawnRotation(), c.angle);
        EXPECT_EQ(onWindow->frame(), QRectF(0, 0, 320, 568));
        const QRectF box = onWindow->boxRect();
        EXPECT_NEAR(box.center().x(), c.layoutSize.width() / 2, 0.5);
        EXPECT_NEAR(box.center().y(), c.layoutSize.height() / 2, 0.5);
        const QPointF fromCentre = onWindow->indicator()->frame().center() - QPointF(160, 284);
        const double length = std::hypot(fromCentre.x(), fromCentre.y());
        EXPECT_NEAR(fromCentre.x() / length, c.spinnerDirection.x(), 0.1);
        EXPECT_NEAR(fromCentre.y() / length, c.spinnerDirection.y(), 0.1);
        EXPECT_EQ(onWindow->indicator()->frame().size(), QSizeF(37, 37));
        window.renderToImage().save(animationFramesDir() + "/overlay-turned-" +
                                    QString::number(c.orientation) + ".png");
        EXPECT_EQ(inView->drawnRotation(), 0);
    }

    // A turn animates over the platform's default 0.2 s; an overlay that comes to a window
    // takes the current turn at once.
    ui::Animation::setEnabled(true);
    InterfaceOrientation::setStatusBarOrientation(InterfaceOrientation::LandscapeLeft);
    post();
    clock.clock.advance(100);
    EXPECT_LT(onWindow->drawnRotation(), 0);
    EXPECT_GT(onWindow->drawnRotation(), -M_PI / 2);
    clock.clock.advance(100);
    EXPECT_DOUBLE_EQ(onWindow->drawnRotation(), -M_PI / 2);
    auto* late = new OverlayHUD(&window);
    window.rootView()->addSubview(late);
    EXPECT_DOUBLE_EQ(late->drawnRotation(), -M_PI / 2);
    ui::Animation::setEnabled(false);
    InterfaceOrientation::setStatusBarOrientation(InterfaceOrientation::Portrait);
}
