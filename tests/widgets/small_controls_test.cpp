#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "widgets/HyperlinksButton.h"
#include "widgets/RRTextView.h"
#include "widgets/RecordingCanvas.h"
#include "widgets/VerticalAlign.h"

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
    const struct {
        int lines;
        const char* text;
        bool top;
        const char* padded;
    } cases[] = {{3, "一行", true, "一行\n \n "},
                 {2, "底", false, " \n底"},
                 // No lines to fill, or nothing to align: unchanged.
                 {0, "任意", true, "任意"},
                 {3, "", true, ""}};
    for (const auto& c : cases) {
        ui::Label label(QRectF(0, 0, 300, 60));
        label.setFont(ui::Font::systemFontOfSize(14));
        label.setNumberOfLines(c.lines);
        label.setText(QString::fromUtf8(c.text));
        c.top ? VerticalAlign::alignTop(&label) : VerticalAlign::alignBottom(&label);
        EXPECT_EQ(label.text(), QString::fromUtf8(c.padded)) << c.text;
    }
}

} // namespace
