#include "platform/foundation/Clock.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TouchInput.h"

#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

using namespace ui;

namespace {

using State = GestureRecognizer::State;

struct Log {
    QList<State> states;
    QList<QPointF> translations;
    QList<QPointF> velocities;
    void attach(PanGestureRecognizer* pan, View* in) {
        pan->addTarget(nullptr, [this, pan, in](GestureRecognizer*) {
            states << pan->state();
            translations << pan->translationInView(in);
            velocities << pan->velocityInView(in);
        });
    }
};

// Refuses touches while closed, as the drawer does off the home page.
struct Gate : GestureRecognizerDelegate {
    bool open = false;
    bool gestureRecognizerShouldReceiveTouch(GestureRecognizer*, const Touch&) override {
        return open;
    }
};

} // namespace

TEST(UiControlsGesture, PanReportsTranslationAndVelocityOfRecentMoves) {
    ns::ScopedManualClock clock;
    View root(QRectF(0, 0, 320, 568));
    PanGestureRecognizer pan;
    root.addGestureRecognizer(&pan);
    Log log;
    log.attach(&pan, &root);

    TouchInput::began(&root, QPointF(10, 100));
    clock.clock.advance(20);
    TouchInput::moved(QPointF(15, 100)); // within the hysteresis: nothing yet
    EXPECT_TRUE(log.states.isEmpty());
    clock.clock.advance(30);
    TouchInput::moved(QPointF(60, 100));
    clock.clock.advance(50);
    TouchInput::moved(QPointF(110, 110));
    clock.clock.advance(10);
    TouchInput::ended(QPointF(120, 110));

    EXPECT_EQ(log.states, (QList<State>{State::Began, State::Changed, State::Ended}));
    EXPECT_EQ(log.translations[0], QPointF(50, 0));
    EXPECT_EQ(log.translations[2], QPointF(110, 10));
    // Measured over the moves of the last 100 ms.
    EXPECT_EQ(log.velocities[0], QPointF(1000, 0));
    EXPECT_EQ(log.velocities[1], QPointF(1000, 100));
    EXPECT_NEAR(log.velocities[2].x(), (120 - 15) / 0.09, 1e-6);
    EXPECT_EQ(pan.state(), State::Possible); // ready for the next touch
    EXPECT_EQ(pan.locationInView(&root), QPointF(120, 110));

    // A finger held still lets go without velocity.
    pan.setHysteresis(0);
    TouchInput::began(&root, QPointF(0, 0));
    clock.clock.advance(16);
    TouchInput::moved(QPointF(100, 0));
    clock.clock.advance(500);
    TouchInput::ended(QPointF(100, 0));
    EXPECT_EQ(log.velocities.last(), QPointF(0, 0));
}

// A busy client handles a drag's moves late, perhaps all at once: the pace is the finger's,
// read from the window system's stamps, not from when they were handled.
TEST(UiControlsGesture, PanTakesItsPaceFromTheEventsStampsHoweverLateTheyAreHandled) {
    for (const int handledEveryMs : {20, 0, 45}) {
        SCOPED_TRACE(handledEveryMs);
        ns::ScopedManualClock clock;
        View root(QRectF(0, 0, 320, 568));
        root.show();
        PanGestureRecognizer pan;
        pan.setHysteresis(0);
        root.addGestureRecognizer(&pan);
        Log log;
        log.attach(&pan, &root);
        QWindow* w = root.windowHandle();
        ASSERT_NE(w, nullptr);
        QTest::mousePress(w, Qt::LeftButton, {}, QPoint(20, 100));
        for (int x = 60; x <= 180; x += 40) {
            clock.clock.advance(handledEveryMs);
            QTest::mouseMove(w, QPoint(x, 100), 20); // stamped 20 ms after the one before
        }
        QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(180, 100), 20);
        ASSERT_FALSE(log.velocities.isEmpty());
        // 160 points in the 100 ms of stamps from the press to the release.
        EXPECT_NEAR(log.velocities.last().x(), 1600, 1e-6);
    }
}

TEST(UiControlsGesture, DelegateAndEnabledDecideWhoGetsTheTouch) {
    View root(QRectF(0, 0, 320, 568));
    auto* child = new View(QRectF(0, 0, 100, 100), &root);
    PanGestureRecognizer pan;
    Gate gate;
    pan.setDelegate(&gate);
    root.addGestureRecognizer(&pan);
    int actions = 0;
    pan.addTarget(nullptr, [&](GestureRecognizer*) { ++actions; });
    auto drag = [&] {
        TouchInput::began(child, QPointF(10, 10));
        TouchInput::moved(QPointF(40, 10));
        TouchInput::moved(QPointF(80, 10));
        TouchInput::ended(QPointF(80, 10));
    };
    drag();
    EXPECT_EQ(actions, 0);
    gate.open = true;
    drag();
    EXPECT_EQ(actions, 3); // began, changed, ended: the touch on a subview reaches it too
    pan.setEnabled(false);
    drag();
    EXPECT_EQ(actions, 3);
    pan.setEnabled(true);
    root.removeGestureRecognizer(&pan);
    drag();
    EXPECT_EQ(actions, 3);
    EXPECT_EQ(pan.view(), nullptr);
}

TEST(UiControlsGesture, TapsRecogniseOnlyWithoutMovement) {
    View root(QRectF(0, 0, 320, 568));
    TapGestureRecognizer tap;
    root.addGestureRecognizer(&tap);
    int taps = 0;
    tap.addTarget(nullptr, [&](GestureRecognizer* g) {
        EXPECT_EQ(g->state(), State::Ended);
        ++taps;
    });
    QTest::mouseClick(&root, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(taps, 1);
    TouchInput::began(&root, QPointF(50, 50));
    TouchInput::moved(QPointF(90, 50));
    TouchInput::ended(QPointF(50, 50));
    EXPECT_EQ(taps, 1);

    // A recogniser destroyed while attached leaves the view safely.
    auto* gone = new TapGestureRecognizer;
    root.addGestureRecognizer(gone);
    delete gone;
    EXPECT_EQ(root.gestureRecognizers().size(), 1);
    QTest::mouseClick(&root, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(taps, 2);
}

TEST(UiControlsGesture, TheInnerScrollWinsItsDirectionTheOuterPanTheOther) {
    View root(QRectF(0, 0, 320, 568));
    auto* carousel = new ScrollView(QRectF(0, 100, 320, 150), &root);
    carousel->setContentSize(QSizeF(960, 150));
    PanGestureRecognizer drawer;
    root.addGestureRecognizer(&drawer);
    int drawerActions = 0;
    drawer.addTarget(nullptr, [&](GestureRecognizer*) { ++drawerActions; });

    TouchInput::began(carousel, QPointF(200, 50));
    TouchInput::moved(QPointF(100, 50));
    TouchInput::ended(QPointF(90, 50));
    EXPECT_GT(carousel->contentOffset().x(), 0);
    EXPECT_EQ(drawerActions, 0);

    carousel->setContentOffset(QPointF(0, 0));
    TouchInput::began(carousel, QPointF(200, 50));
    TouchInput::moved(QPointF(200, 80)); // vertical: the carousel cannot scroll that way
    TouchInput::moved(QPointF(200, 90));
    TouchInput::ended(QPointF(200, 95));
    EXPECT_EQ(carousel->contentOffset(), QPointF(0, 0));
    EXPECT_EQ(drawerActions, 3);
}

TEST(UiControlsPageAndSwitch, TapsStepPagesAndFlipTheSwitch) {
    View root(QRectF(0, 0, 320, 100));
    auto* pages = new PageControl(QRectF(0, 0, 320, 37), &root);
    pages->setNumberOfPages(3);
    int changes = 0;
    pages->addAction(Control::ValueChanged, [&] { ++changes; });
    QTest::mouseClick(pages, Qt::LeftButton, {}, QPoint(300, 18));
    QTest::mouseClick(pages, Qt::LeftButton, {}, QPoint(300, 18));
    QTest::mouseClick(pages, Qt::LeftButton, {}, QPoint(300, 18)); // already on the last page
    EXPECT_EQ(pages->currentPage(), 2);
    EXPECT_EQ(changes, 2);
    pages->setCurrentPage(7);
    EXPECT_EQ(pages->currentPage(), 2);
    pages->setNumberOfPages(1);
    EXPECT_EQ(pages->currentPage(), 0);

    auto* sw = new Switch(QRectF(10, 50, 100, 100), &root);
    int flips = 0;
    sw->addAction(Control::ValueChanged, [&] { ++flips; });
    sw->setOn(true, true); // by code: no event
    EXPECT_EQ(flips, 0);
    QTest::mouseClick(sw, Qt::LeftButton);
    EXPECT_FALSE(sw->isOn());
    EXPECT_EQ(sw->thumbPosition(), 0);
    EXPECT_EQ(flips, 1);
}
