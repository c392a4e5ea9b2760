#include "platform/foundation/Clock.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/ScrollView.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace ui;

namespace {

// Writes down what the scroll view tells its delegate.
struct Recorder : ScrollViewDelegate {
    QStringList calls;
    QList<QPointF> offsets;
    void scrollViewDidScroll(ScrollView* s) override {
        if (calls.isEmpty() || calls.last() != "scroll") calls << "scroll";
        offsets << s->contentOffset();
    }
    void scrollViewWillBeginDragging(ScrollView*) override { calls << "willBeginDragging"; }
    void scrollViewDidEndDragging(ScrollView*, bool decelerate) override {
        calls << (decelerate ? "didEndDragging(decelerate)" : "didEndDragging");
    }
    void scrollViewWillBeginDecelerating(ScrollView*) override { calls << "willBeginDecelerating"; }
    void scrollViewDidEndDecelerating(ScrollView*) override { calls << "didEndDecelerating"; }
    void scrollViewDidEndScrollingAnimation(ScrollView*) override {
        calls << "didEndScrollingAnimation";
    }
};

// A 320 x 400 view over content 320 x 1000.
struct Tall {
    ScrollView view{QRectF(0, 0, 320, 400)};
    Recorder rec;
    Tall() {
        view.setContentSize(QSizeF(320, 1000));
        view.setDelegate(&rec);
    }
};

// Animations run on the manual clock for the scope.
struct TimedAnimations {
    ns::ScopedManualClock clock;
    TimedAnimations() { Animation::setEnabled(true); }
    ~TimedAnimations() { Animation::setEnabled(false); }
};

} // namespace

TEST(UiControlsScrollView, PullingPastTheTopGivesANegativeOffsetAtHalfRate) {
    Tall t;
    t.view.beginDragging();
    t.view.dragBy(QPointF(0, 100)); // finger down 100 points from the top
    EXPECT_EQ(t.view.contentOffset(), QPointF(0, -50));
    EXPECT_TRUE(t.view.isDragging());
    t.view.endDragging();
    EXPECT_EQ(t.view.contentOffset(), QPointF(0, 0)); // settled back (animations are instant)
    EXPECT_EQ(t.rec.calls, (QStringList{"willBeginDragging", "scroll", "didEndDragging(decelerate)",
                                        "willBeginDecelerating", "scroll", "didEndDecelerating"}));
    EXPECT_FALSE(t.view.isDecelerating());
}

TEST(UiControlsScrollView, RubberBandAndBouncesAtBothEnds) {
    struct Case {
        const char* name;
        bool bounces;
        QPointF drag, expected;
        QPointF from = {}, rest = {}; // where the drag starts and where the view settles
        QMarginsF inset = {};
    };
    const Case cases[] = {
        {"inside moves one to one", true, {0, -200}, {0, 200}, {}, {0, 200}},
        {"past the top at half rate", true, {0, 60}, {0, -30}},
        {"past the bottom at half rate", true, {0, -700}, {0, 650}, {}, {0, 600}}, // 100 halved
        {"no bounce stops at the top", false, {0, 60}, {0, 0}},
        {"no bounce stops at the bottom", false, {0, -700}, {0, 600}, {}, {0, 600}},
        {"sideways does not move a tall view", true, {-80, 0}, {0, 0}},
        {"a second drag from beyond the edge does not jump", true, {0, 0.5}, {0, -30.25}, {0, -30}},
        {"inside the inset one to one", true, {0, 50}, {0, -50}, {}, {0, -50}, {0, 50, 0, 20}},
        {"past the inset at half rate", true, {0, 90}, {0, -70}, {}, {0, -50}, {0, 50, 0, 20}},
        {"the inset below widens the range",
         true,
         {0, -620},
         {0, 620},
         {},
         {0, 620},
         {0, 50, 0, 20}},
    };
    for (const Case& c : cases) {
        Tall t;
        t.view.setBounces(c.bounces);
        t.view.setContentInset(c.inset);
        t.view.setContentOffset(c.from);
        t.view.beginDragging();
        t.view.dragBy(c.drag);
        EXPECT_EQ(t.view.contentOffset(), c.expected) << c.name;
        t.view.endDragging();
        EXPECT_EQ(t.view.contentOffset(), c.rest) << c.name;
    }
    // Offsets set by code are not clamped.
    Tall t;
    t.view.setContentOffset(QPointF(0, -120));
    EXPECT_EQ(t.view.contentOffset(), QPointF(0, -120));
}

TEST(UiControlsScrollView, PagingSnapsToPages) {
    struct Case {
        double drag;
        double velocity;
        double page;
    };
    const Case cases[] = {
        {-100, 0, 0},   // not half way: back
        {-170, 0, 1},   // past half way: on
        {-60, -800, 1}, // a flick turns the page
        {-700, 0, 2},   // the last page: 960.1 wide content
        {100, 0, 0},    // before the first page
    };
    for (const Case& c : cases) {
        ScrollView v(QRectF(0, 0, 320, 568));
        v.setContentSize(QSizeF(960.1, 568));
        v.setPagingEnabled(true);
        v.beginDragging();
        v.dragBy(QPointF(c.drag, 0));
        v.endDragging(QPointF(c.velocity, 0));
        EXPECT_EQ(v.contentOffset(), QPointF(c.page * 320, 0)) << c.drag << " " << c.velocity;
        EXPECT_FALSE(v.isDecelerating());
    }
}

TEST(UiControlsScrollView, AGlideIsReportedAsDecelerationASlowReleaseStays) {
    Tall t, still;
    for (Tall* v : {&t, &still}) {
        v->view.beginDragging();
        v->view.dragBy(QPointF(0, -50));
        v->view.endDragging(QPointF(0, v == &t ? -1000 : -10));
    }
    EXPECT_GT(t.view.contentOffset().y(), 50);
    EXPECT_LE(t.view.contentOffset().y(), 600);
    EXPECT_TRUE(t.rec.calls.contains("didEndDecelerating"));
    EXPECT_EQ(still.view.contentOffset(), QPointF(0, 50));
    EXPECT_EQ(still.rec.calls.last(), "didEndDragging");
}

TEST(UiControlsScrollView, AnimatedScrollReportsItsEndOnce) {
    TimedAnimations timed;
    Tall t;
    t.view.setContentOffset(QPointF(0, 300), true);
    EXPECT_EQ(t.view.contentOffset(), QPointF(0, 0));
    timed.clock.clock.advance(150);
    const double midway = t.view.contentOffset().y();
    EXPECT_GT(midway, 0);
    EXPECT_LT(midway, 300);
    // A second animated scroll takes over: only it reports its end.
    t.view.setContentOffset(QPointF(0, 100), true);
    timed.clock.clock.advance(1000);
    EXPECT_EQ(t.view.contentOffset(), QPointF(0, 100));
    EXPECT_EQ(t.rec.calls.count("didEndScrollingAnimation"), 1);

    // An immediate set cancels a running animation without report.
    t.view.setContentOffset(QPointF(0, 400), true);
    timed.clock.clock.advance(50);
    t.view.setContentOffset(QPointF(0, 10));
    timed.clock.clock.advance(1000);
    EXPECT_EQ(t.view.contentOffset(), QPointF(0, 10));
    EXPECT_EQ(t.rec.calls.count("didEndScrollingAnimation"), 1);
}

TEST(UiControlsScrollView, DelegateScrollingAtReleaseWinsOverTheBounce) {
    // What pull-to-refresh does: on release it scrolls to its own resting place.
    struct Refresh : Recorder {
        void scrollViewDidEndDragging(ScrollView* s, bool d) override {
            Recorder::scrollViewDidEndDragging(s, d);
            s->setContentOffset(QPointF(0, -50), true);
        }
    } rec;
    ScrollView v(QRectF(0, 0, 320, 400));
    v.setContentSize(QSizeF(320, 1000));
    v.setDelegate(&rec);
    v.beginDragging();
    v.dragBy(QPointF(0, 160));
    v.endDragging();
    EXPECT_EQ(v.contentOffset(), QPointF(0, -50));
    EXPECT_FALSE(v.isDecelerating());
}

TEST(UiControlsScrollView, SubviewsLieOnTheScrolledPlane) {
    View root(QRectF(0, 0, 320, 568));
    auto* v = new ScrollView(QRectF(0, 64, 320, 400), &root);
    v->setContentSize(QSizeF(320, 1000));
    auto* child = new View(QRectF(10, 500, 100, 40));
    v->addSubview(child);
    EXPECT_EQ(v->subviews(), QList<View*>{child}); // the indicators are the view's own
    v->setContentOffset(QPointF(0, 450));
    EXPECT_EQ(child->superview(), v);
    EXPECT_EQ(child->frame(), QRectF(10, 500, 100, 40));
    EXPECT_EQ(child->convertPointToView(QPointF(0, 0), &root), QPointF(10, 64 + 50));
    EXPECT_EQ(child->convertRectToView(child->frame(), v).topLeft(), QPointF(20, 1000));
    EXPECT_EQ(child->geometry().topLeft(), QPoint(10, 50));
}

TEST(UiControlsScrollView, MouseDragScrollsAndTakesTheTouchFromAButton) {
    View root(QRectF(0, 0, 320, 568));
    auto* v = new ScrollView(QRectF(0, 0, 320, 400), &root);
    v->setContentSize(QSizeF(320, 1000));
    Recorder rec;
    v->setDelegate(&rec);
    auto* button = new Button(QRectF(0, 100, 320, 60));
    v->addSubview(button);
    int taps = 0;
    button->addAction(Control::TouchUpInside, [&] { ++taps; });

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(100, 30));
    EXPECT_TRUE(v->isTracking());
    EXPECT_TRUE(button->isHighlighted());
    QTest::mouseMove(button, QPoint(100, 20));
    QTest::mouseMove(button, QPoint(100, -70)); // the finger moves up 100 points
    EXPECT_TRUE(v->isDragging());
    EXPECT_FALSE(button->isHighlighted());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(100, -70));
    EXPECT_EQ(taps, 0);
    EXPECT_FALSE(v->isTracking());
    EXPECT_EQ(rec.calls.first(), "willBeginDragging");
    EXPECT_GT(v->contentOffset().y(), 0);

    // A click without moving is still the button's.
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(taps, 1);
    // Scrolling switched off ignores drags.
    v->setContentOffset(QPointF(0, 0));
    v->setScrollEnabled(false);
    QTest::mousePress(v, Qt::LeftButton, {}, QPoint(100, 300));
    QTest::mouseMove(v, QPoint(100, 100));
    QTest::mouseRelease(v, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(v->contentOffset(), QPointF(0, 0));
}
