// The PublicFunction methods that make or measure views.

#include "app/core/PublicFunction.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/Label.h"

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
    // The font of the first character, when the label's text carries one.
    QFont font = label->font();
    if (label->hasAttributedText()) {
        const ui::AttributedString attributed = label->attributedText();
        if (!attributed.isEmpty())
            if (const auto f = attributed.attributesAtIndex(0).font) font = *f;
    }
    const QSizeF size = ui::Label::boundingRectForText(text, font, constrainedToSize);
    frame.setHeight(std::ceil(size.height()));
    return frame;
}
