#include "platform/foundation/Clock.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Animation.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "tests/support/AnimationFrames.h"
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

// The box comes in from 1.3 times its size and leaves shrinking to 0.8, spinner and text
// included. Each frame's picture is kept in <build>/animations for a person to look at.
TEST_F(StatusOverlayTest, TheBoxZoomsInFromLargeAndOutToSmall) {
    ui::Window window;
    window.setRootViewController(new ui::ViewController);
    window.makeKeyAndVisible();
    ui::Animation::setEnabled(true);
    const struct {
        const char* name;
        qint64 afterMs; // since the previous frame
        double scale;   // 0: gone
        bool drawn;     // the overlay comes in from alpha 0
    } frames[] = {{"in-start", 0, 1.3, false},   {"in-middle", 75, 1.1, true},
                  {"in-end", 150, 1.0, true},    {"out-start", 0, 1.0, true},
                  {"out-middle", 75, 0.9, true}, {"out-end", 150, 0, false}};
    for (const auto& f : frames) {
        SCOPED_TRACE(f.name);
        if (QByteArray(f.name) == "in-start") StatusOverlay::showWithStatus("加载中");
        if (QByteArray(f.name) == "out-start") StatusOverlay::dismiss();
        if (f.afterMs) time.clock.advance(f.afterMs);
        const QImage picture = window.renderToImage();
        picture.save(animationFramesDir() + "/status-" + f.name + ".png");
        // The box's middle row: grey where the dark box lies over the white screen.
        const auto [first, last] = columnsWhere(picture, 255, [](const QColor& c) {
            return c.red() < 235 && std::abs(c.red() - c.blue()) < 8;
        });
        EXPECT_EQ(first >= 0, f.drawn);
        if (f.scale == 0) {
            EXPECT_FALSE(hud->hasOverlayWindow());
            continue;
        }
        EXPECT_NEAR(hud->hudScale(), f.scale, 0.05);
        if (!f.drawn) continue;
        EXPECT_NEAR(last - first + 1, 124 * hud->hudScale(), 3); // about the centre (160)
        EXPECT_NEAR((first + last + 1) / 2.0, 160, 2);
    }
    ui::Animation::setEnabled(false);
}

TEST_F(StatusOverlayTest, ALongStatusShrinksUntilItIsDrawnWhole) {
    const QString word = QStringLiteral("流量包订购成功，");
    const struct {
        int repeats;
        bool shrinks;
        bool whole; // past the smallest size the rest is cut at the label's bounds
    } cases[] = {{1, false, true}, {8, false, true}, {60, true, true}, {400, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.repeats);
        StatusOverlay::showWithStatus(word.repeated(c.repeats));
        FittingLabel* label = hud->stringLabel();
        EXPECT_EQ(label->shadowColor(), QColor(Qt::black));
        EXPECT_EQ(label->shadowOffset(), QPointF(0, -1));
        const QFont font = label->fittedFont();
        EXPECT_EQ(font.pixelSize() < 12, c.shrinks);
        EXPECT_GE(font.pixelSize(), FittingLabel::kMinimumFontSize);
        // The label lies within the box, and the text in its font fits the label.
        EXPECT_TRUE(hud->hudView()->bounds().contains(label->frame()));
        ui::TextLayout::Options o;
        o.font = font;
        ui::TextLayout layout(ui::AttributedString(label->text()), o);
        const QSizeF used = layout.layout(label->frame().width(), 0);
        EXPECT_EQ(used.height() <= label->frame().height() + 0.5, c.whole);
        StatusOverlay::dismiss();
    }
}

} // namespace
