#include "widgets/BarProgressView.h"
#include "widgets/OverlayHUD.h"
#include "widgets/OverlayHUDSpinner.h"
#include "widgets/RoundProgressView.h"

#include <QImage>
#include <QPointer>
#include <gtest/gtest.h>
#include <vector>

TEST(OverlayHUDLayout, LoadingBoxIsSquareWithTheTextBelowTheSpinner) {
    ui::View host(QRectF(0, 0, 320, 568));
    OverlayHUD* hud = OverlayHUD::showHUDAddedTo(&host, false);
    hud->setLabelText(QString());
    hud->setDetailsLabelText(QStringLiteral("加载中,请稍后..."));
    hud->setSquare(true);
    hud->layoutSubviews();

    const QSizeF details = hud->detailsLabelFrame().size();
    ASSERT_GT(details.height(), 0);
    // An empty title takes no line and no spacing.
    EXPECT_EQ(hud->labelFrame().size(), QSizeF(0, 0));
    const double side =
        std::max(std::max(37.0, details.width()) + 40, 37 + 4 + details.height() + 40);
    EXPECT_EQ(hud->size(), QSizeF(side, side));
    const QRectF spinner = hud->indicator()->frame();
    EXPECT_EQ(spinner.size(), QSizeF(37, 37));
    EXPECT_DOUBLE_EQ(hud->detailsLabelFrame().top(), spinner.bottom() + 4);
    EXPECT_TRUE(hud->boxRect().contains(spinner));
    EXPECT_TRUE(hud->boxRect().contains(hud->detailsLabelFrame()));
    // Centred to the whole point.
    EXPECT_NEAR(hud->boxRect().center().x(), 160, 0.5);
    EXPECT_NEAR(hud->boxRect().center().y(), 284, 0.5);
}

TEST(OverlayHUDLayout, TextOnlyBoxHasNoSpacingAboveTheText) {
    ui::View host(QRectF(0, 0, 320, 568));
    OverlayHUD* hud = OverlayHUD::showHUDAddedTo(&host, false);
    hud->setMode(OverlayHUD::kModeText);
    hud->setDetailsLabelText(QStringLiteral("已提交"));
    hud->layoutSubviews();
    const QRectF text = hud->detailsLabelFrame();
    ASSERT_GT(text.height(), 0);
    EXPECT_EQ(hud->size(), QSizeF(text.width() + 40, text.height() + 40));
    EXPECT_DOUBLE_EQ(text.top(), hud->boxRect().top() + 20);
}

TEST(OverlayHUDLayout, MinimumSizeAndOffsetsMoveTheBox) {
    ui::View host(QRectF(0, 0, 320, 568));
    OverlayHUD* hud = OverlayHUD::showHUDAddedTo(&host, false);
    hud->setMode(OverlayHUD::kModeText);
    hud->setDetailsLabelText(QStringLiteral("好"));
    hud->setMinSize(QSizeF(200, 150));
    hud->setXOffset(15);
    hud->setYOffset(-30);
    hud->layoutSubviews();
    EXPECT_EQ(hud->boxRect(), QRectF(60 + 15, 209 - 30, 200, 150));
}

TEST(OverlayHUDLayout, SquareOnAWideTitleKeepsTheRectangle) {
    ui::View host(QRectF(0, 0, 320, 120));
    OverlayHUD* hud = OverlayHUD::showHUDAddedTo(&host, false);
    hud->setLabelText(QString(60, QChar(u'长')));
    hud->setSquare(true);
    hud->layoutSubviews();
    EXPECT_EQ(hud->size().width(), 280);  // clamped text 240 plus margins: fits W - 2m
    EXPECT_LT(hud->size().height(), 120); // a 280-high square would not fit
}

TEST(OverlayHUDIndicator, ModesChooseTheIndicator) {
    enum Kind { Spinner, Pie, Ring, Bar, Custom, None };
    struct Step {
        int mode;
        Kind expected;
        bool sameAsBefore;
    };
    // One overlay goes through these modes in order.
    const std::vector<Step> steps = {
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
    ui::View host(QRectF(0, 0, 320, 568));
    OverlayHUD* hud = OverlayHUD::showHUDAddedTo(&host, false);
    QPointer<ui::View> custom = new ui::View(QRectF(0, 0, 20, 30));
    hud->setCustomView(custom);
    QPointer<ui::View> previous = hud->indicator();
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        hud->setMode(steps[i].mode);
        ui::View* now = hud->indicator();
        switch (steps[i].expected) {
        case Spinner:
            EXPECT_TRUE(qobject_cast<OverlayHUDSpinner*>(now));
            break;
        case Pie:
        case Ring: {
            auto* round = qobject_cast<RoundProgressView*>(now);
            ASSERT_TRUE(round);
            EXPECT_EQ(round->isAnnular(), steps[i].expected == Ring);
            break;
        }
        case Bar:
            EXPECT_TRUE(qobject_cast<BarProgressView*>(now));
            break;
        case Custom:
            EXPECT_EQ(now, custom.data());
            break;
        case None:
            EXPECT_EQ(now, nullptr);
            break;
        }
        EXPECT_EQ(now == previous.data(), steps[i].sameAsBefore);
        if (now) {
            EXPECT_EQ(now->superview(), hud);
        }
        previous = now;
    }
    // The custom view survived being switched away from and back.
    EXPECT_TRUE(custom);
}

TEST(OverlayHUDDrawing, BoxColourWinsOverOpacity) {
    ui::View host(QRectF(0, 0, 320, 568));
    OverlayHUD* hud = OverlayHUD::showHUDAddedTo(&host, false);
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
