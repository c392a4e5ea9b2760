#include <gtest/gtest.h>

#include "app/categories/BFLayoutUtils.h"
#include "app/categories/Block.h"
#include "app/categories/FrameMethods.h"
#include "app/categories/NilString.h"
#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "tests/support/DrawnText.h"

#include <memory>

namespace {

TEST(BFLayoutUtils, placesViewsFromTheReferenceAndWrapsThem) {
    ui::View ref(QRectF(10, 20, 100, 30));
    const BFTopPaddingLayout layout{50, 16, 5, 3}; // width, height, top, left
    EXPECT_EQ(BFLayoutUtils::lineLayout(layout, &ref), QRectF(13, 55, 50, 16));
    EXPECT_EQ(BFLayoutUtils::columnLayout(layout, &ref), QRectF(113, 25, 50, 16));
    EXPECT_EQ(BFLayoutUtils::lineLayout(layout, QPointF(1, 2)), QRectF(4, 7, 50, 16));
    EXPECT_EQ(BFLayoutUtils::columnLayout(layout, QPointF(1, 2)), QRectF(4, 7, 50, 16));

    auto* inner = new ui::View(QRectF(100, 100, 40, 20));
    std::unique_ptr<ui::View> wrapper(BFLayoutUtils::doWrapView(inner, 5));
    EXPECT_EQ(wrapper->frame(), QRectF(95, 95, 50, 30));
    EXPECT_EQ(inner->frame(), QRectF(5, 5, 40, 20));
    EXPECT_EQ(inner->superview(), wrapper.get());
}

TEST(BFLayoutUtils, sizesFollowTheLastSubview) {
    ui::View container(QRectF(0, 0, 200, 10));
    BFLayoutUtils::adjustHeight(&container, 8, 100);
    EXPECT_EQ(container.frame().height(), 10); // no subviews: unchanged
    auto* absent = new ui::View;
    BFLayoutUtils::doLayout(&container, {new ui::View(QRectF(0, 0, 10, 40)),
                                         new ui::View(QRectF(0, 40, 150, 20)), nullptr, absent});
    EXPECT_EQ(container.subviews().size(), 2); // stops at the first missing view
    delete absent;
    EXPECT_EQ(BFLayoutUtils::getLastestSubViewOffSet(&container), 60);
    BFLayoutUtils::adjustHeight(&container, 8, 100);
    EXPECT_EQ(container.frame().height(), 100); // the minimum wins
    BFLayoutUtils::adjustHeight(&container, 8);
    EXPECT_EQ(container.frame().height(), 68);
    BFLayoutUtils::adjustWidth(&container, 2);
    EXPECT_EQ(container.frame().width(), 152);

    std::unique_ptr<ui::ScrollView> scroll(BFLayoutUtils::getUIScrollView(QRectF(0, 0, 320, 400)));
    BFLayoutUtils::adjustContentHeight(scroll.get(), 12);
    BFLayoutUtils::lowestContentHeight(scroll.get(), 500); // no subviews: nothing
    EXPECT_EQ(scroll->contentSize(), QSizeF(320, 12));
    scroll->addSubview(new ui::View(QRectF(0, 300, 320, 300)));
    for (const auto& [adjust, min, height] :
         {std::tuple{true, 12, 612}, {false, 500, 600}, {false, 700, 700}}) {
        if (adjust)
            BFLayoutUtils::adjustContentHeight(scroll.get(), min);
        else
            BFLayoutUtils::lowestContentHeight(scroll.get(), min);
        EXPECT_EQ(scroll->contentSize(), QSizeF(320, height)) << min;
    }
}

TEST(BFLayoutUtils, breakLinesWhereTheFirstLineEnds) {
    EXPECT_EQ(BFLayoutUtils::insertBreakLine("", 100, 14), "");
    EXPECT_EQ(BFLayoutUtils::insertBreakLine("ab", 300, 14), "ab");
    EXPECT_FALSE(BFLayoutUtils::isbreakLine("ab", 300, 14));
    const QString longText = QString::fromUtf8("这是一段需要在很窄的宽度里换行显示的较长文字");
    ASSERT_TRUE(BFLayoutUtils::isbreakLine(longText, 80, 14));
    const QString broken = BFLayoutUtils::insertBreakLine(longText, 80, 14);
    ASSERT_EQ(broken.count('\n'), 1);
    const QString firstLine = broken.section('\n', 0, 0);
    EXPECT_EQ(QString(broken).remove('\n'), longText);
    EXPECT_FALSE(BFLayoutUtils::isbreakLine(firstLine, 80, 14));
    EXPECT_TRUE(BFLayoutUtils::isbreakLine(longText.left(firstLine.size() + 1), 80, 14));
}

TEST(FrameMethods, frameInWindowAddsTheParentsOrigins) {
    ui::View alone(QRectF(10, 10, 100, 50));
    EXPECT_EQ(FrameMethods::frameInWindow(&alone), QRectF());
    ui::View parent(QRectF(100, 200, 300, 300));
    parent.addSubview(new ui::View(QRectF(5, 6, 7, 8)));
    EXPECT_EQ(FrameMethods::frameInWindow(parent.subviews().first()), QRectF(105, 206, 7, 8));
}

TEST(Block, reportsThePressedIndexAndNothingWithoutABlock) {
    QList<int> pressed;
    ui::AlertView* alert = Block::alertWithTitle(
        "t", "m", [&](int i) { pressed << i; }, "取消", "确定");
    alert->show();
    alert->pressButtonAtIndex(1);
    ui::AlertView* silent = Block::alertWithTitle("t", "m", nullptr, "取消", QString());
    silent->show();
    silent->pressButtonAtIndex(0);
    EXPECT_EQ(pressed, QList<int>{1});
}

TEST(ViewHelpers, standardAlertAndEmptyListLabel) {
    ui::AlertView* alert = PublicFunction::showAlert("标题", "内容");
    ASSERT_NE(ui::AlertCenter::topAlert(), nullptr);
    EXPECT_EQ(ui::AlertCenter::topAlert()->message(), QString::fromUtf8("内容"));
    EXPECT_EQ(alert->numberOfButtons(), 1);
    EXPECT_EQ(alert->buttonTitleAtIndex(0), QString::fromUtf8("确定"));
    alert->pressButtonAtIndex(0);

    ui::View host(QRectF(0, 0, 320, 400));
    std::unique_ptr<ui::Label> empty(tavrixConfig::createNilLabelInView(&host));
    EXPECT_EQ(empty->text(), QString::fromUtf8("对不起，暂时没查询到相关数据"));
    EXPECT_EQ(empty->frame().center(), QPointF(160, 200));
    EXPECT_EQ(empty->frame().size(), QSizeF(300, 20));
}

TEST(ViewHelpers, textHeightOfALabel) {
    ui::Label label(QRectF(0, 0, 100, 20));
    // No text: no failure.
    EXPECT_EQ(PublicFunction::textLabel(&label, QSizeF(100, 1000)).height(), 0);
    label.setAttributedText(NilString::initWithNotNilString(QString()));
    EXPECT_EQ(PublicFunction::textLabel(&label, QSizeF(100, 1000)).height(), 0);
    label.setText(
        QString::fromUtf8("一行文字会在窄宽度中折成好几行一行文字会在窄宽度中折成好几行"));
    const QRectF tall = PublicFunction::textLabel(&label, QSizeF(100, 1000));
    label.setText("x");
    const QRectF one = PublicFunction::textLabel(&label, QSizeF(100, 1000));
    EXPECT_GT(tall.height(), one.height() * 2);
    EXPECT_EQ(tall.height(), std::ceil(tall.height()));
    EXPECT_EQ(tall.width(), 100);

    // The measured frame holds the whole text as the label then draws it, line spacing too.
    for (const double spacing : {0.0, 1.0, 4.0}) {
        ui::Label desc(QRectF(10, 30, 121, 66));
        desc.setNumberOfLines(0);
        ui::TextAttributes attributes;
        attributes.font = ui::Font::systemFontOfSize(11);
        attributes.paragraphStyle = ui::ParagraphStyle{spacing, 0};
        desc.setAttributedText(ui::AttributedString(
            QString::fromUtf8("老用户免费换4G卡，网速快人一步，流量多多，资费更低"), attributes));
        desc.setFrame(PublicFunction::textLabel(&desc, QSizeF(121, 66)));
        EXPECT_EQ(textFault(&desc), "") << spacing;
    }
}

} // namespace
