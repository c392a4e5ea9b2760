#include "tests/support/DrawnText.h"

#include "platform/ui/Label.h"
#include "platform/ui/TextLayout.h"

#include <QFontMetricsF>

QString textFault(const ui::Label* label) {
    if (!label || label->text().isEmpty()) return {};
    const QRectF bounds = label->bounds();
    if (bounds.width() < 1 || bounds.height() < 1) return QStringLiteral("no room");
    // Laid out exactly as the label lays it out when it draws.
    ui::TextLayout::Options options;
    options.font = label->font();
    options.alignment = label->textAlignment();
    options.lineBreakMode = label->lineBreakMode();
    options.maximumLines = label->numberOfLines();
    ui::TextLayout layout(label->attributedText(), options);
    layout.layout(bounds.width(), bounds.height());
    if (layout.isTruncated()) return QStringLiteral("cut");
    // One line in one font: the glyphs' own advance must fit too.
    if (label->numberOfLines() == 1 && !label->hasAttributedText() &&
        QFontMetricsF(label->font()).horizontalAdvance(label->text()) > bounds.width() + 0.5)
        return QStringLiteral("cut");
    return {};
}
