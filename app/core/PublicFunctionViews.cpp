// The PublicFunction methods that make or measure views.

#include "app/core/PublicFunction.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextLayout.h"

#include <cmath>

ui::AlertView* PublicFunction::showAlert(const QString& title, const QString& message) {
    auto* alert = new ui::AlertView(title, message, nullptr, QString::fromUtf8("确定"));
    alert->show();
    return alert;
}

QRectF PublicFunction::textLabel(const ui::Label* label, const QSizeF& constrainedToSize) {
    if (!label) return {};
    QRectF frame = label->frame();
    const QString text = label->text();
    if (text.isEmpty()) {
        frame.setHeight(0);
        return frame;
    }
    // From system 7 the whole text is measured in the attributes of its first character (font
    // and paragraph style), so the height includes the line spacing the label then draws with;
    // older systems measure the attributed text, each span in its own attributes.
    ui::AttributedString measured(text);
    if (label->hasAttributedText()) {
        if (!PublicFunction::isIOS7OrLater())
            measured = label->attributedText();
        else
            measured = ui::AttributedString(text, label->attributedText().attributesAtIndex(0));
    }
    const QSizeF size = ui::TextLayout::boundingSize(measured, label->font(), constrainedToSize);
    frame.setHeight(std::ceil(size.height()));
    return frame;
}
