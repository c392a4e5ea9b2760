#include <QImage>
#include <gtest/gtest.h>

#include "screens/billing/TelephoneBillHeaderView.h"
#include "platform/ui/Window.h"
#include "tests/support/WindowInput.h"

namespace {

// Pixels drawn (not transparent) inside rect of the picture.
int inkIn(const QImage& picture, const QRect& rect) {
    int ink = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            ink += qAlpha(picture.pixel(x, y)) > 0;
    return ink;
}

TEST(BillHeaderView, ShowsBothTextsWholeAndAPressAnywhereOnItHandsTheBlockItsButton) {
    ui::Window window;
    auto* header = new TelephoneBillHeaderView("billHeader");
    header->setFrame(QRectF(0, 100, 320, 30));
    window.rootView()->addSubview(header);
    window.makeKeyAndVisible();
    header->labelOfTitle()->setText("套餐及固定费 (含来电显示)");
    header->labelOfMoney()->setText("1258.00元");
    QList<int> pressed;
    header->setHeaderButtonPressed([&](ui::Button* button) { pressed << button->tag(); });

    const QImage picture = header->renderToImage();
    EXPECT_FALSE(header->imageViewOfArrow()->image().isNull());
    for (ui::Label* label : {header->labelOfTitle(), header->labelOfMoney()}) {
        const QSizeF needed = label->sizeThatFits(QSizeF(0, 0));
        EXPECT_GT(needed.width(), 0) << label->text().toStdString();
        EXPECT_LE(needed.width(), label->frame().width()) << label->text().toStdString();
        EXPECT_GT(inkIn(picture, label->frame().toRect()), 20) << label->text().toStdString();
    }

    // On the title, on the amount, on the arrow, at the far right: the labels let it through.
    for (const ui::View* at : {static_cast<ui::View*>(header->labelOfTitle()),
                               static_cast<ui::View*>(header->labelOfMoney()),
                               static_cast<ui::View*>(header->imageViewOfArrow())})
        windowinput::click(at);
    windowinput::click(&window, QPointF(315, 115));
    EXPECT_EQ(pressed, QList<int>(4, 1000));
}

} // namespace
