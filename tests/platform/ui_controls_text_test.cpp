#include "platform/ui/AttributedString.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

#include <QFontInfo>
#include <gtest/gtest.h>

using namespace ui;

namespace {

TextAttributes colour(QColor c) {
    TextAttributes a;
    a.foregroundColor = c;
    return a;
}

} // namespace

TEST(UiControlsFont, ChineseFamilyIsSetExplicitly) {
    for (const QFont& f : {Font::systemFontOfSize(15), Font::boldSystemFontOfSize(15),
                           Font::fontWithName("STHeitiSC-Light", 9)}) {
        EXPECT_EQ(f.family(), "Noto Sans CJK SC");
        EXPECT_EQ(QFontInfo(f).family(), "Noto Sans CJK SC") << "the face must be installed";
    }
    EXPECT_EQ(Font::fontWithName("STHeitiSC-Light", 9).weight(), QFont::Light);
    EXPECT_EQ(Font::boldSystemFontOfSize(15).weight(), QFont::Bold);
    EXPECT_EQ(Font::pointSize(Font::systemFontOfSize(13)), 13);
    EXPECT_LT(Font::descender(Font::systemFontOfSize(17)), 0);
}

TEST(UiControlsAttributedString, SpansSplitMergeAndClamp) {
    AttributedString s("0123456789", colour(Qt::black));
    s.addForegroundColor(Qt::red, {2, 3});
    ASSERT_EQ(s.runs().size(), 3);
    EXPECT_EQ(s.runs()[1].range, (TextRange{2, 3}));
    // Giving the middle back the outer colour joins the spans again.
    s.addForegroundColor(Qt::black, {2, 3});
    EXPECT_EQ(s.runs().size(), 1);
    // Ranges outside the text are cut to it rather than failing.
    s.addForegroundColor(Qt::blue, {8, 100});
    s.addForegroundColor(Qt::green, {-5, 6});
    EXPECT_EQ(s.attributesAtIndex(9).foregroundColor, QColor(Qt::blue));
    EXPECT_EQ(s.attributesAtIndex(0).foregroundColor, QColor(Qt::green));
    EXPECT_EQ(s.attributesAtIndex(10), TextAttributes());
    s.addForegroundColor(Qt::red, {50, 2});
    EXPECT_EQ(s.length(), 10);
}

TEST(UiControlsLabel, SizeFollowsLinesAndConstraints) {
    const QFont font = Font::systemFontOfSize(14);
    const double line = Font::lineHeight(font);
    const QString longText = QString("流量").repeated(40);
    struct Case {
        const char* name;
        int lines;
        QSizeF constraint;
        double expectedHeight;
    };
    const Case cases[] = {
        {"one line by default", 1, {100, 0}, line},
        {"two lines at most", 2, {100, 0}, 2 * line},
        {"any number fills the text", 0, {285, 0}, 4 * line}, // 80 full-width glyphs, 20 a line
        {"height keeps whole lines", 0, {100, 3.5 * line}, 3 * line},
        {"a height below one line still shows one", 0, {100, 5}, line},
    };
    for (const Case& c : cases) {
        Label label;
        label.setFont(font);
        label.setNumberOfLines(c.lines);
        label.setText(longText);
        const QSizeF s = label.sizeThatFits(c.constraint);
        EXPECT_NEAR(s.height(), c.expectedHeight, 0.01) << c.name;
        EXPECT_LE(s.width(), c.constraint.width() + 0.01) << c.name;
    }
    Label empty;
    EXPECT_EQ(empty.sizeThatFits({100, 100}), QSizeF(0, 0));
}

TEST(UiControlsLabel, BoundingRectWrapsWordsAndCharactersAndHardBreaks) {
    const QFont font = Font::systemFontOfSize(12);
    const double line = Font::lineHeight(font);
    const double one = Label::boundingRectForText("1", font, {0, 0}).height();
    EXPECT_NEAR(one, line, 0.01);
    // The vertical-alignment helpers pad with "\n " and count lines.
    EXPECT_NEAR(Label::boundingRectForText("a\n b\n c", font, {200, 0}).height(), 3 * line, 0.01);
    const QString words = "alpha beta gamma delta";
    double narrow = 0;
    for (const QString& w : words.split(' '))
        narrow = std::max(narrow, Label::boundingRectForText(w, font, {0, 0}).width() + 2);
    const QSizeF byWord =
        Label::boundingRectForText(words, font, {narrow, 0}, LineBreakMode::WordWrapping);
    const QSizeF byChar =
        Label::boundingRectForText(words, font, {narrow, 0}, LineBreakMode::CharWrapping);
    EXPECT_NEAR(byWord.height(), 4 * line, 0.01);
    EXPECT_LE(byChar.height(), byWord.height());
    // A word longer than the width still breaks instead of overflowing.
    EXPECT_LE(Label::boundingRectForText("abcdefghijklmnop", font, {20, 0}).width(), 20.01);
}

TEST(UiControlsLabel, AttributedTextMeasuresItsLargestFontAndSpacing) {
    Label label;
    label.setNumberOfLines(0);
    TextAttributes big;
    big.font = Font::systemFontOfSize(34);
    AttributedString s("88", big);
    TextAttributes small;
    small.font = Font::systemFontOfSize(10);
    s.appendString(".5", small);
    // Each part keeps its own attributes.
    EXPECT_EQ(Font::pointSize(*s.attributesAtIndex(1).font), 34);
    EXPECT_EQ(Font::pointSize(*s.attributesAtIndex(2).font), 10);
    label.setAttributedText(s);
    EXPECT_EQ(label.text(), "88.5");
    EXPECT_NEAR(label.sizeThatFits({300, 0}).height(), Font::lineHeight(Font::systemFontOfSize(34)),
                0.01);

    AttributedString para(QString("积分").repeated(30), colour(Qt::gray));
    para.addParagraphStyle({4, 0}, {0, para.length()});
    label.setFont(Font::systemFontOfSize(14));
    label.setAttributedText(para);
    const QSizeF spaced = label.sizeThatFits({287, 0});
    AttributedString plain(QString("积分").repeated(30));
    label.setAttributedText(plain);
    const QSizeF tight = label.sizeThatFits({287, 0});
    const int lines = int(std::round(tight.height() / Font::lineHeight(label.font())));
    ASSERT_GE(lines, 2);
    EXPECT_NEAR(spaced.height(), tight.height() + 4 * (lines - 1), 0.01);
    // Setting plain text drops the attributes.
    label.setText("x");
    EXPECT_FALSE(label.hasAttributedText());
}

TEST(UiControlsLabel, DrawsInsideItsBounds) {
    View root(QRectF(0, 0, 120, 40));
    root.setBackgroundColor(Qt::white);
    auto* label = new Label(QRectF(10, 5, 100, 30), &root);
    label->setText("余额 12.5 元");
    label->setTextAlignment(TextAlignment::Center);
    const QImage img = root.renderToImage();
    int dark = 0, outside = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128) {
                ++dark;
                if (!QRect(10, 5, 100, 30).contains(x, y)) ++outside;
            }
    EXPECT_GT(dark, 20);
    EXPECT_EQ(outside, 0);
}
