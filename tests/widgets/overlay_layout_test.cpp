#include "platform/ui/TextLayout.h"
#include "widgets/BarProgressView.h"
#include "widgets/OverlayHUD.h"
#include "widgets/OverlayHUDSpinner.h"
#include "widgets/RoundProgressView.h"

#include <QImage>
#include <QPointer>
#include <gtest/gtest.h>
#include <vector>

namespace {

QSizeF detailsSize(const OverlayHUD& hud, const QString& text, double maxWidth, double maxHeight) {
    return ui::TextLayout::boundingSize(text, hud.detailsLabelFont(), QSizeF(maxWidth, maxHeight),
                                        ui::LineBreakMode::WordWrapping);
}

} // namespace

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

TEST(OverlayHUDLayout, BoxFollowsTheArithmetic) {
    struct Case {
        const char* name;
        QSizeF host;
        int mode;
        QString title;
        QString details;
        bool square;
        QSizeF minSize;
        QPointF offset;
    };
    const QString longTitle(60, QChar(u'长'));
    const std::vector<Case> cases = {
        {"text only: no spacing above the details",
         {320, 568},
         OverlayHUD::kModeText,
         {},
         QStringLiteral("已提交"),
         false,
         {},
         {}},
        {"square that does not fit keeps its height",
         {320, 120},
         OverlayHUD::kModeSpinner,
         longTitle,
         {},
         true,
         {},
         {}},
        {"minimum size raises the box",
         {320, 568},
         OverlayHUD::kModeText,
         {},
         QStringLiteral("好"),
         false,
         {200, 150},
         {}},
        {"offsets move the box",
         {320, 568},
         OverlayHUD::kModeSpinner,
         QStringLiteral("标题"),
         QStringLiteral("说明"),
         false,
         {},
         {15, -30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui::View host(QRectF(QPointF(0, 0), c.host));
        auto* hud = new OverlayHUD(&host);
        host.addSubview(hud);
        hud->setMode(c.mode);
        hud->setLabelText(c.title);
        hud->setDetailsLabelText(c.details);
        hud->setSquare(c.square);
        hud->setMinSize(c.minSize);
        hud->setXOffset(float(c.offset.x()));
        hud->setYOffset(float(c.offset.y()));
        hud->layoutSubviews();

        const double W = c.host.width();
        const double H = c.host.height();
        const double m = hud->margin();
        const double maxWidth = W - 4 * m;
        const double ih = hud->indicator() ? hud->indicator()->frame().height() : 0;
        const double iw = hud->indicator() ? hud->indicator()->frame().width() : 0;
        const QSizeF title = hud->labelFrame().size();
        EXPECT_LE(title.width(), maxWidth);
        double totalH = ih + title.height() + (ih > 0 && title.height() > 0 ? 4 : 0);
        const QSizeF details = detailsSize(*hud, c.details, maxWidth, H - totalH - 4 - 4 * m);
        EXPECT_EQ(hud->detailsLabelFrame().size(), c.details.isEmpty() ? QSizeF(0, 0) : details);
        totalH += hud->detailsLabelFrame().height() +
                  (hud->detailsLabelFrame().height() > 0 && (ih > 0 || title.height() > 0) ? 4 : 0);
        double w = std::max({iw, title.width(), hud->detailsLabelFrame().width()}) + 2 * m;
        double h = totalH + 2 * m;
        // The first line of content sits a margin inside the box.
        const QRectF first = ih > 0               ? hud->indicator()->frame()
                             : title.height() > 0 ? hud->labelFrame()
                                                  : hud->detailsLabelFrame();
        EXPECT_DOUBLE_EQ(first.top(), m + std::round((H - h) / 2) + c.offset.y());
        EXPECT_DOUBLE_EQ(first.left(), std::round((W - first.width()) / 2) + c.offset.x());
        if (c.square) {
            const double s = std::max(w, h);
            if (s <= W - 2 * m) w = s;
            if (s <= H - 2 * m) h = s;
        }
        w = std::max(w, c.minSize.width());
        h = std::max(h, c.minSize.height());
        EXPECT_EQ(hud->size(), QSizeF(w, h));
        EXPECT_EQ(hud->boxRect().topLeft(), QPointF(std::round((W - w) / 2) + c.offset.x(),
                                                    std::round((H - h) / 2) + c.offset.y()));
    }
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

TEST(OverlayHUDDrawing, BoxColourOverridesOpacityAndDimmingDarkensTheEdges) {
    struct Case {
        const char* name;
        QColor color;
        float opacity;
        bool dim;
        QColor centre; // the box, drawn at full alpha for the check
    };
    const Case cases[] = {
        {"default black box", QColor(), 0.8f, false, QColor::fromRgbF(0, 0, 0, 0.8f)},
        {"colour wins over opacity", QColor(200, 0, 0), 0.0f, false, QColor(200, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui::View host(QRectF(0, 0, 320, 568));
        OverlayHUD* hud = OverlayHUD::showHUDAddedTo(&host, false);
        hud->setAlpha(1.0);
        hud->setMode(OverlayHUD::kModeText);
        hud->setMinSize(QSizeF(100, 100));
        hud->setColor(c.color);
        hud->setOpacity(c.opacity);
        hud->setDimBackground(c.dim);
        hud->layoutSubviews();
        const QImage image = hud->renderToImage();
        const QColor centre = image.pixelColor(160, 284);
        EXPECT_NEAR(centre.redF(), c.centre.redF(), 0.02);
        EXPECT_NEAR(centre.alphaF(), c.centre.alphaF(), 0.02);
        EXPECT_EQ(image.pixelColor(5, 5).alpha(), 0); // no dimming asked
    }
}
