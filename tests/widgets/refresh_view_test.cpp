#include "platform/foundation/Clock.h"
#include "platform/foundation/DateFormat.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/ui/Animation.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "widgets/RefreshView.h"
#include "widgets/SpinnerView.h"

#include <gtest/gtest.h>

namespace {

// What the home page does: forwards the scroll calls, starts loading when told, and gives
// up after ten seconds.
struct HomeLikeOwner : QObject, ui::ScrollViewDelegate, RefreshViewDelegate {
    HomeLikeOwner()
        : scroll(*new ui::ScrollView(QRectF(0, 0, 320, 400))), refresh(*new RefreshView) {
        scroll.setContentSize(QSizeF(320, 456));
        scroll.setDelegate(this);
        refresh.setupWithOwner(&scroll, this);
    }
    ~HomeLikeOwner() override { delete &scroll; }
    void scrollViewWillBeginDragging(ui::ScrollView* s) override {
        refresh.scrollViewWillBeginDragging(s);
    }
    void scrollViewDidScroll(ui::ScrollView* s) override { refresh.scrollViewDidScroll(s); }
    void scrollViewDidEndDragging(ui::ScrollView* s, bool d) override {
        refresh.scrollViewDidEndDragging(s, d);
    }
    void scrollViewWillBeginDecelerating(ui::ScrollView* s) override {
        refresh.scrollViewWillBeginDecelerating(s);
    }
    void refreshViewDidCallBack() override {
        ++callbacks;
        refresh.startLoading();
        ns::performAfter(10000, this, [this] { refresh.stopLoading(); });
    }
    double offset() const { return scroll.contentOffset().y(); }
    QString status() const { return refresh.refreshStatusLabel()->text(); }
    void pullTo(double target) {
        scroll.beginDragging();
        dragTo(target);
    }
    void dragTo(double target) {
        for (int i = 0; i < 1000 && offset() > target; ++i)
            scroll.dragBy(QPointF(0, 1));
    }

    // The scroll view owns the header, as on the home page.
    ui::ScrollView& scroll;
    RefreshView& refresh;
    int callbacks = 0;
};

TEST(RefreshView, PullReleaseLoadAndGiveUp) {
    ns::ScopedManualClock time;
    ns::DateFormat::setNowOverride(QDateTime(QDate(2026, 3, 7), QTime(14, 5, 9)));
    HomeLikeOwner o;

    o.pullTo(-30);
    EXPECT_TRUE(o.refresh.isDragging());
    EXPECT_EQ(o.status(), QStringLiteral("下拉可以刷新..."));
    EXPECT_EQ(o.refresh.arrowRotation(), 0);
    o.dragTo(-50);
    EXPECT_EQ(o.status(), QStringLiteral("松开即刷新..."));
    EXPECT_DOUBLE_EQ(o.refresh.arrowRotation(), 3.14);

    o.scroll.endDragging();
    EXPECT_EQ(o.callbacks, 1);
    EXPECT_FALSE(o.refresh.isDragging());
    EXPECT_TRUE(o.refresh.isLoading());
    EXPECT_EQ(o.status(), QStringLiteral("加载中..."));
    EXPECT_TRUE(o.refresh.refreshArrowImageView()->isHidden());
    EXPECT_TRUE(o.refresh.refreshIndicator()->isAnimating());
    EXPECT_LE(o.offset(), -49);

    // A drag while loading changes no text and holds the header open.
    o.pullTo(-60);
    EXPECT_FALSE(o.refresh.isDragging());
    EXPECT_EQ(o.status(), QStringLiteral("加载中..."));
    o.scroll.endDragging();
    EXPECT_EQ(o.callbacks, 1);
    EXPECT_DOUBLE_EQ(o.offset(), -50);

    time.clock.advance(10000);
    EXPECT_FALSE(o.refresh.isLoading());
    EXPECT_DOUBLE_EQ(o.offset(), 0);
    // At rest nothing of the header stays in the scroll range.
    EXPECT_EQ(o.scroll.contentInset(), QMarginsF());
    EXPECT_EQ(o.scroll.minimumContentOffset(), QPointF(0, 0));
    EXPECT_EQ(o.status(), QStringLiteral("下拉可以刷新..."));
    EXPECT_EQ(o.refresh.refreshLastUpdatedTimeLabel()->text(),
              QStringLiteral("最后更新: 03-07 14:05:09"));
    EXPECT_FALSE(o.refresh.refreshArrowImageView()->isHidden());
    EXPECT_FALSE(o.refresh.refreshIndicator()->isAnimating());
    ns::DateFormat::setNowOverride(QDateTime());
}

TEST(RefreshView, AReleaseDecidesOnTheOffsetWhereTheFingerLeft) {
    const struct {
        double offset;
        bool loading;
        int callbacks;
        double offsetAfter;
        double insetAfter; // the top of the owner's inset
    } cases[] = {{-50, false, 1, -50, 0},
                 {-80, false, 1, -80, 0},
                 // Back at rest, the pull leaves no inset behind.
                 {-49, false, 0, 0, 0},
                 {30, false, 0, 30, 0},
                 // While loading every release uncovers the header.
                 {30, true, 0, -50, 0},
                 {-10, true, 0, -50, 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.offset << (c.loading ? " loading" : ""));
        HomeLikeOwner o;
        o.refresh.setIsLoading(c.loading);
        o.refresh.scrollViewWillBeginDragging(&o.scroll);
        o.scroll.setContentOffset(QPointF(0, c.offset));
        o.refresh.scrollViewDidEndDragging(&o.scroll, false);
        EXPECT_EQ(o.callbacks, c.callbacks);
        EXPECT_DOUBLE_EQ(o.offset(), c.offsetAfter);
        EXPECT_DOUBLE_EQ(o.scroll.contentInset().top(), c.insetAfter);
        EXPECT_FALSE(o.refresh.isDragging());
    }
}

TEST(RefreshView, WhileLoadingTheInsetFollowsTheUncoveredHeader) {
    HomeLikeOwner o;
    o.refresh.startLoading();
    const QList<std::pair<double, double>> cases = {
        {-30, 30}, {-70, 30}, {-49.5, 49.5}, {20, 49.5}};
    for (const auto& [offset, insetTop] : cases) {
        o.scroll.setContentOffset(QPointF(0, offset));
        EXPECT_DOUBLE_EQ(o.scroll.contentInset().top(), insetTop) << offset;
    }
}

TEST(RefreshView, WithoutADelegateAReleaseIsSkippedSilently) {
    ui::ScrollView scroll(QRectF(0, 0, 320, 456));
    RefreshView refresh;
    refresh.setupWithOwner(&scroll, nullptr);
    refresh.scrollViewWillBeginDragging(&scroll);
    scroll.setContentOffset(QPointF(0, -60));
    refresh.scrollViewDidEndDragging(&scroll, false);
    EXPECT_FALSE(refresh.isDragging());
    EXPECT_FALSE(refresh.isLoading());
    // A missing scroll view reads as offset 0.
    refresh.scrollViewDidScroll(nullptr);
    refresh.scrollViewWillBeginDecelerating(nullptr);
}

TEST(RefreshView, ContentScrolledUpNeverChangesTheHeader) {
    HomeLikeOwner o;
    o.refresh.scrollViewWillBeginDragging(&o.scroll);
    o.scroll.setContentOffset(QPointF(0, -60));
    EXPECT_EQ(o.status(), QStringLiteral("松开即刷新..."));
    o.scroll.setContentOffset(QPointF(0, 40));
    EXPECT_EQ(o.status(), QStringLiteral("松开即刷新..."));
    EXPECT_DOUBLE_EQ(o.refresh.arrowRotation(), 3.14);
}

TEST(RefreshView, ResetsWithoutARefreshAndDeceleratesBackToRest) {
    HomeLikeOwner o;
    o.scroll.setContentOffset(QPointF(0, -20));
    o.refresh.stopLoading();
    EXPECT_DOUBLE_EQ(o.offset(), 0);
    EXPECT_EQ(o.refresh.arrowRotation(), 0);
    EXPECT_TRUE(
        o.refresh.refreshLastUpdatedTimeLabel()->text().startsWith(QStringLiteral("最后更新: ")));
    // Decelerating between the threshold and the top returns to rest; beyond it, stays.
    for (const auto& [from, to] : {std::pair{-20.0, 0.0}, std::pair{-60.0, -60.0}}) {
        o.scroll.setContentOffset(QPointF(0, from));
        o.refresh.scrollViewWillBeginDecelerating(&o.scroll);
        EXPECT_DOUBLE_EQ(o.offset(), to) << from;
    }
}

} // namespace

TEST(RefreshView, TheArrowSpringsFromSystemSevenOnAndRunsPlainBefore) {
    // When the arrow comes to rest after the pull passes the threshold.
    const struct {
        const char* version;
        qint64 settledMs;
    } cases[] = {{"7.0", 1000}, {"8.2", 1000}, {"6.1", 500}, {"5", 500}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        ns::DeviceInfo::setSystemVersion(c.version);
        ns::ScopedManualClock time;
        ui::Animation::setEnabled(true);
        HomeLikeOwner o;
        o.pullTo(-50);
        qint64 settled = -1;
        for (qint64 ms = 0; ms <= 1500 && settled < 0; ms += 10) {
            if (o.refresh.arrowRotation() == RefreshView::kFlippedArrow) settled = ms;
            time.clock.advance(10);
        }
        ui::Animation::setEnabled(false);
        EXPECT_NEAR(double(settled), double(c.settledMs), 30);
    }
    ns::DeviceInfo::setSystemVersion({});
}
