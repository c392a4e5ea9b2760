#include "widgets/VerticalAlign.h"

#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

#include <cmath>

namespace {

// How many empty lines the text leaves within the label's lines.
int freeLines(const ui::Label* label) {
    const QString text = label->text();
    if (text.isEmpty() || label->numberOfLines() <= 0) return 0;
    const double lineHeight = ui::Font::lineHeight(label->font());
    if (lineHeight <= 0) return 0;
    const double fullHeight = lineHeight * label->numberOfLines();
    const double textHeight =
        ui::Label::boundingRectForText(
            text, label->font(), QSizeF(label->frame().width(), fullHeight), label->lineBreakMode())
            .height();
    return int(std::floor((fullHeight - textHeight) / lineHeight));
}

} // namespace

namespace VerticalAlign {

void alignTop(ui::Label* label) {
    if (!label) return;
    const int n = freeLines(label);
    if (n > 0) label->setText(label->text() + QStringLiteral("\n ").repeated(n));
}

void alignBottom(ui::Label* label) {
    if (!label) return;
    const int n = freeLines(label);
    if (n > 0) label->setText(QStringLiteral(" \n").repeated(n) + label->text());
}

} // namespace VerticalAlign
