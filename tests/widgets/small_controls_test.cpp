#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "widgets/HyperlinksButton.h"
#include "widgets/RRTextView.h"
#include "widgets/RecordingCanvas.h"
#include "widgets/RoundCornerButton.h"
#include "widgets/VerticalAlign.h"
#include "widgets/VerticalUpAlignment.h"

#include <gtest/gtest.h>

namespace {

QColor grey() {
    return RRTextView::placeholderColor();
}

void post(const char* name, RRTextView& view) {
    ns::NotificationCenter::defaultCenter().postNotificationName(QString::fromLatin1(name), &view);
}

TEST(RRTextView, ShowsThePlaceholderUntilTheUserTypes) {
    RRTextView view(QRectF(0, 0, 280, 120));
    view.setPlaceholder("请输入您的意见");
    EXPECT_EQ(view.text(), QString(""));
    EXPECT_EQ(view.realText(), QStringLiteral("请输入您的意见"));
    EXPECT_EQ(view.textColor(), grey());

    // Editing starts from an empty text in the real colour (black by default).
    post("UITextViewTextDidBeginEditingNotification", view);
    EXPECT_EQ(view.realText(), QString());
    EXPECT_EQ(view.textColor(), QColor(Qt::black));
    // Ending with nothing typed brings the placeholder back.
    post("UITextViewTextDidEndEditingNotification", view);
    EXPECT_TRUE(view.isShowingPlaceholder());
    EXPECT_EQ(view.textColor(), grey());

    // Another view's notifications are not ours.
    RRTextView other;
    post("UITextViewTextDidBeginEditingNotification", other);
    EXPECT_TRUE(view.isShowingPlaceholder());
}

TEST(RRTextView, SetTextAndColours) {
    RRTextView view;
    view.setPlaceholder("提示");
    const QList<std::tuple<QString, QString, QColor, QString>> cases = {
        {"反馈内容", "反馈内容", Qt::black, "反馈内容"},
        {"", "", grey(), "提示"},
        {"提示", "", grey(), "提示"}, // the placeholder's own text counts as none
    };
    for (const auto& [set, text, color, shown] : cases) {
        view.setText(set);
        EXPECT_EQ(view.text(), text) << set.toStdString();
        EXPECT_EQ(view.textColor(), color) << set.toStdString();
        EXPECT_EQ(view.realText(), shown) << set.toStdString();
    }

    // While the placeholder shows, a colour waits for the user's text.
    view.setTextColor(Qt::red);
    EXPECT_EQ(view.textColor(), grey());
    EXPECT_EQ(view.realTextColor(), QColor(Qt::red));
    view.setText("内容");
    EXPECT_EQ(view.textColor(), QColor(Qt::red));
    view.setTextColor(Qt::blue);
    EXPECT_EQ(view.textColor(), QColor(Qt::blue));
}

TEST(RRTextView, ANewPlaceholderReplacesOnlyTheOldOne) {
    RRTextView view;
    view.setPlaceholder("旧");
    view.setPlaceholder("新");
    EXPECT_EQ(view.realText(), QStringLiteral("新"));
    view.setText("用户的字");
    view.setPlaceholder("更新");
    EXPECT_EQ(view.realText(), QStringLiteral("用户的字"));
}

TEST(RoundCorners, ShapesFollowTheFrame) {
    RoundCornerButton pill(QRectF(0, 0, 100, 30));
    EXPECT_EQ(pill.cornerRadius(), 15);
    pill.setFrame(QRectF(0, 0, 100, 44));
    EXPECT_EQ(pill.cornerRadius(), 22);
}

TEST(HyperlinksButton, UnderlinesTheTitleInItsColour) {
    HyperlinksButton link(QRectF(0, 0, 120, 30));
    link.setTitle("忘记密码?");
    link.setColor(QColor(30, 140, 230));
    link.layoutSubviews();
    RecordingCanvas canvas;
    link.drawUnderline(canvas);
    ASSERT_EQ(canvas.strokes().size(), 1);
    const QRectF title = link.titleLabel()->frame();
    const double y = title.bottom() + ui::Font::descender(link.titleLabel()->font()) + 1;
    const auto& line = canvas.strokes()[0];
    EXPECT_EQ(line.color, QColor(30, 140, 230));
    EXPECT_EQ(line.segments[0].point, QPointF(title.left(), y));
    EXPECT_EQ(line.segments[1].point, QPointF(title.right(), y));
}

TEST(VerticalAlign, PadsWithTheFreeLines) {
    ui::Label label(QRectF(0, 0, 300, 60));
    label.setFont(ui::Font::systemFontOfSize(14));
    label.setNumberOfLines(3);
    label.setText("一行");
    VerticalAlign::alignTop(&label);
    EXPECT_EQ(label.text(), QStringLiteral("一行\n \n "));

    ui::Label bottom(QRectF(0, 0, 300, 60));
    bottom.setNumberOfLines(2);
    bottom.setText("底");
    VerticalAlign::alignBottom(&bottom);
    EXPECT_EQ(bottom.text(), QStringLiteral(" \n底"));

    // No lines to fill, or nothing to align: unchanged.
    ui::Label any(QRectF(0, 0, 300, 60));
    any.setNumberOfLines(0);
    any.setText("任意");
    VerticalAlign::alignTop(&any);
    EXPECT_EQ(any.text(), QStringLiteral("任意"));
    ui::Label empty(QRectF(0, 0, 300, 60));
    empty.setNumberOfLines(3);
    VerticalAlign::alignTop(&empty);
    EXPECT_EQ(empty.text(), QString());
}

TEST(VerticalUpAlignment, FitsTheHeightToTheTextUpToTheLimit) {
    ui::Label label(QRectF(10, 20, 100, 5));
    label.setNumberOfLines(0);
    const QString text = QStringLiteral("很长的一段说明文字，需要折成好几行才能放下。");
    VerticalUpAlignment::verticalUpAlignmentWithText(&label, text, 1000);
    const double natural =
        ui::Label::boundingRectForText(text, label.font(), QSizeF(100, 1000)).height();
    EXPECT_EQ(label.frame(), QRectF(10, 20, 100, natural));
    EXPECT_GT(natural, ui::Font::lineHeight(label.font()));
    EXPECT_EQ(label.text(), text);
}

} // namespace
