#include "app/core/BFHudUtils.h"
#include "platform/foundation/Clock.h"
#include "widgets/OverlayHUD.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QImage>
#include <QPointer>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Delegate : OverlayHUDDelegate {};

} // namespace

TEST(BFHudUtils, LoadingPresetsShowAtOnceWithTheirText) {
    using Preset = std::function<OverlayHUD*(ui::View*, OverlayHUDDelegate*)>;
    const std::vector<std::pair<Preset, QString>> presets = {
        {BFHudUtils::login, QStringLiteral("登录中...")},
        {BFHudUtils::loading, QStringLiteral("加载中,请稍后...")},
        {BFHudUtils::submiting, QStringLiteral("提交中,请稍后...")},
    };
    for (const auto& [preset, text] : presets) {
        SCOPED_TRACE(text.toStdString());
        ui::View screen(QRectF(0, 0, 320, 568));
        Delegate delegate;
        OverlayHUD* hud = preset(&screen, &delegate);
        EXPECT_EQ(OverlayHUD::HUDForView(&screen), hud);
        EXPECT_EQ(hud->detailsLabelText(), text);
        EXPECT_EQ(hud->alpha(), OverlayHUD::kShownAlpha);
    }
}

TEST(BFHudUtils, MessagesHideThemselves) {
    struct Case {
        const char* name;
        std::function<OverlayHUD*(ui::View*)> make;
        qint64 goneAfterMs;
    };
    const std::vector<Case> cases = {
        {"loading shown and hidden at once stays 0.3 s",
         [](ui::View* v) {
             OverlayHUD* hud = BFHudUtils::loading(v, nullptr);
             hud->hide(true);
             return hud;
         },
         300},
        {"text message", [](ui::View* v) { return BFHudUtils::showText("已保存", v, nullptr); },
         2000},
        {"reply result",
         [](ui::View* v) {
             return BFHudUtils::showCommonWithRequest(QVariantMap{{"state", 1}}, v, nullptr, "成功",
                                                      "");
         },
         1200},
        {"picture message",
         [](ui::View* v) { return BFHudUtils::cusIndicatorHiddenDelay("好", v, nullptr, 0, 9.0); },
         1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ns::ScopedManualClock clock;
        ui::View screen(QRectF(0, 0, 320, 568));
        QPointer<OverlayHUD> hud = c.make(&screen);
        clock.clock.advance(c.goneAfterMs - 1);
        EXPECT_FALSE(hud->isFinished());
        EXPECT_EQ(hud->alpha(), OverlayHUD::kShownAlpha);
        clock.clock.advance(1);
        EXPECT_TRUE(hud->isFinished());
        EXPECT_EQ(OverlayHUD::HUDForView(&screen), nullptr);
        flushDeletes();
        EXPECT_FALSE(hud);
        clock.clock.advance(5000); // later delayed hides find nothing
    }
}

TEST(BFHudUtils, CommonTextFollowsTheReplyState) {
    struct Case {
        QVariant reply;
        QString error;
        QString expected;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.toString().toStdString() + "/" + c.error.toStdString());
        EXPECT_EQ(BFHudUtils::commonText(c.reply, "成功", c.error), c.expected);
    }
}

TEST(BFHudUtils, LoadingOverlayScreenshotShowsTheBox) {
    ui::View screen(QRectF(0, 0, 320, 568));
    screen.setBackgroundColor(QColor(242, 242, 242));
    OverlayHUD* hud = BFHudUtils::loading(&screen, nullptr);
    hud->layoutIfNeeded();
    hud->layoutSubviews();
    const QImage shot = screen.renderToImage(2.0);
    QTemporaryDir dir;
    ASSERT_TRUE(shot.save(QDir(dir.path()).filePath("loading.png")));
    const QString keep = qEnvironmentVariable("TAVRIX_SCREENSHOT_DIR");
    if (!keep.isEmpty()) shot.save(QDir(keep).filePath("loading_overlay.png"));

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
            if (shot.pixelColor(x, y).red() > 180) ++bright;
    EXPECT_GT(bright, 50);
}
