#include "platform/foundation/Clock.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "widgets/ActivityIndicator.h"
#include "widgets/FittingLabel.h"
#include "widgets/InterfaceOrientation.h"
#include "widgets/RecordingCanvas.h"
#include "widgets/SpinnerView.h"
#include "widgets/StatusOverlay.h"

#include <gtest/gtest.h>

namespace {

class StatusOverlayTest : public ::testing::Test {
protected:
    void TearDown() override {
        StatusOverlay::dismiss();
        ASSERT_FALSE(hud->hasOverlayWindow());
    }
    bool showsImage() { return !hud->imageView()->isHidden(); }
    ns::ScopedManualClock time;
    StatusOverlay* hud = StatusOverlay::sharedView();
};

TEST(StatusOverlayLayout, SizesTheBoxToTheStatus) {
    const auto none = StatusOverlay::layoutFor({}, false);
    EXPECT_EQ(none.boxBounds, QRectF(0, 0, 100, 100));
    EXPECT_EQ(none.spinnerCenter, QPointF(50.5, 50.5));
    EXPECT_EQ(none.imageCenter, QPointF(50, 50));

    const auto line = StatusOverlay::layoutFor({60, 15}, true);
    EXPECT_EQ(line.boxBounds, QRectF(0, 0, 124, 95));
    EXPECT_EQ(line.labelFrame, QRectF(0, 66, 124, 15));
    EXPECT_EQ(line.imageCenter, QPointF(62, 36));
    EXPECT_EQ(line.spinnerCenter, QPointF(62.5, 40.5));

    const auto lines = StatusOverlay::layoutFor({179, 45}, true);
    EXPECT_EQ(lines.boxBounds, QRectF(0, 0, 204, 125));
    EXPECT_EQ(lines.labelFrame, QRectF(12, 66, 180, 45));
}

TEST(StatusOverlayLayout, FollowsKeyboardAndOrientation) {
    const struct {
        int orientation;
        QSizeF statusBar; // as the platform reports it, in portrait coordinates
        double keyboard;
        QPointF center;
        double angle;
    } cases[] = {{1, {320, 20}, 216, {160, 136}, 0},
                 {1, {320, 20}, 0, {160, 216}, 0},
                 {2, {320, 20}, 0, {160, 264}, M_PI},
                 {4, {20, 480}, 0, {144, 240}, -M_PI / 2},
                 {3, {20, 480}, 0, {176, 240}, M_PI / 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "orientation " << c.orientation << " kb " << c.keyboard);
        const auto p =
            StatusOverlay::positionFor({320, 480}, c.statusBar, c.orientation, c.keyboard);
        EXPECT_EQ(p.center, c.center);
        EXPECT_DOUBLE_EQ(p.angle, c.angle);
    }
}

TEST_F(StatusOverlayTest, HidingWhatNeverShowedPutsNothingOnScreen) {
    ActivityIndicator::hide();
    EXPECT_FALSE(StatusOverlay::isVisible());
    EXPECT_FALSE(hud->hasOverlayWindow());
    EXPECT_FALSE(hud->hasHudView());
    EXPECT_EQ(hud->alpha(), 0);
}

TEST_F(StatusOverlayTest, VisibleMeansShownAndNotDismissed) {
    const int before =
        ns::NotificationCenter::defaultCenter().observerCount("UIKeyboardWillShowNotification");
    StatusOverlay::showWithStatus("加载中");
    EXPECT_TRUE(StatusOverlay::isVisible());
    EXPECT_DOUBLE_EQ(hud->alpha(), StatusOverlay::kShownAlpha);
    EXPECT_DOUBLE_EQ(hud->hudScale(), 1.0);
    EXPECT_TRUE(hud->spinnerView()->isAnimating());
    EXPECT_EQ(hud->stringLabel()->text(), QStringLiteral("加载中"));
    // Showing again neither replays the entrance nor observes twice.
    StatusOverlay::showWithStatus("再次");
    EXPECT_EQ(
        ns::NotificationCenter::defaultCenter().observerCount("UIKeyboardWillShowNotification"),
        before + 1);
    StatusOverlay::dismiss();
    EXPECT_FALSE(StatusOverlay::isVisible());
    EXPECT_FALSE(hud->hasOverlayWindow());
    EXPECT_EQ(
        ns::NotificationCenter::defaultCenter().observerCount("UIKeyboardWillShowNotification"),
        before);
}

TEST_F(StatusOverlayTest, SplashesDismissThemselves) {
    ActivityIndicator::splash(ActivityIndicator::StatusWithSpinner, "请稍候");
    time.clock.advance(1299);
    EXPECT_TRUE(StatusOverlay::isVisible());
    time.clock.advance(1);
    EXPECT_FALSE(StatusOverlay::isVisible());

    ActivityIndicator::splash(ActivityIndicator::Success, "成功");
    EXPECT_TRUE(showsImage());
    EXPECT_FALSE(hud->spinnerView()->isAnimating());
    EXPECT_EQ(hud->stringLabel()->text(), QStringLiteral("成功"));
    time.clock.advance(1000);
    EXPECT_FALSE(StatusOverlay::isVisible());
}

TEST_F(StatusOverlayTest, DisplaysStayUntilHidden) {
    ActivityIndicator::display(ActivityIndicator::Error, "失败");
    EXPECT_TRUE(showsImage());
    time.clock.advance(60000);
    EXPECT_TRUE(StatusOverlay::isVisible());
    ActivityIndicator::hide();
    EXPECT_FALSE(StatusOverlay::isVisible());
}

TEST_F(StatusOverlayTest, EveryShowOrDismissCancelsAPendingTimedHide) {
    ActivityIndicator::splash(ActivityIndicator::StatusWithSpinner, "一");
    time.clock.advance(1000);
    ActivityIndicator::display(ActivityIndicator::StatusWithSpinner, "二");
    EXPECT_FALSE(hud->hasPendingFadeOut());
    time.clock.advance(5000);
    EXPECT_TRUE(StatusOverlay::isVisible());

    ActivityIndicator::hideAfterDelay(3);
    StatusOverlay::dismiss();
    EXPECT_FALSE(hud->hasPendingFadeOut());
    // A show right after is not cut short by the old timer.
    StatusOverlay::show();
    time.clock.advance(5000);
    EXPECT_TRUE(StatusOverlay::isVisible());
}

TEST_F(StatusOverlayTest, AnImageOverAShownOverlayKeepsItsMask) {
    ActivityIndicator::display(ActivityIndicator::StatusWithSpinner, "处理中",
                               StatusOverlay::Black);
    StatusOverlay::showSuccessWithStatus("完成");
    EXPECT_EQ(hud->maskType(), unsigned(StatusOverlay::Black));
    EXPECT_TRUE(showsImage());
}

TEST_F(StatusOverlayTest, MasksShadeTheScreenAndAllButTheFirstBlockTouches) {
    const struct {
        unsigned mask;
        bool blocks;
        RecordingCanvas::Fill::Kind fill; // Plain: none drawn for None and Clear
        double alpha;
    } cases[] = {{StatusOverlay::None, false, RecordingCanvas::Fill::Plain, 0},
                 {StatusOverlay::Clear, true, RecordingCanvas::Fill::Plain, 0},
                 {StatusOverlay::Black, true, RecordingCanvas::Fill::Plain, 0.5},
                 {StatusOverlay::Gradient, true, RecordingCanvas::Fill::Radial, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        StatusOverlay::showWithMaskType(c.mask);
        EXPECT_EQ(hud->overlayWindow()->userInteractionEnabled(), c.blocks);
        RecordingCanvas shade;
        hud->drawMask(shade);
        const auto fills = shade.fills();
        ASSERT_EQ(fills.size(), c.mask >= StatusOverlay::Black ? 1 : 0);
        if (fills.isEmpty()) continue;
        EXPECT_EQ(fills[0].kind, c.fill);
        if (c.fill == RecordingCanvas::Fill::Radial) {
            EXPECT_EQ(fills[0].center, QPointF(160, 284));
            EXPECT_DOUBLE_EQ(fills[0].radius, 320);
        } else {
            EXPECT_EQ(fills[0].rect, QRectF(0, 0, 320, 568));
            EXPECT_NEAR(fills[0].color.alphaF(), c.alpha, 1e-4);
        }
        StatusOverlay::dismiss();
    }
}

TEST_F(StatusOverlayTest, MovesUpForTheKeyboard) {
    StatusOverlay::showWithStatus("键盘");
    EXPECT_EQ(hud->hudView()->frame().center(), QPointF(160, 255)); // floor(568 * 0.45)
    ns::NotificationCenter::defaultCenter().postNotificationName(
        "UIKeyboardWillShowNotification", nullptr,
        {{"UIKeyboardFrameEndUserInfoKey", QRectF(0, 352, 320, 216)},
         {"UIKeyboardAnimationDurationUserInfoKey", 0.25}});
    EXPECT_EQ(hud->hudView()->frame().center(), QPointF(160, std::floor((568 + 40 - 216) * 0.45)));
}

} // namespace
