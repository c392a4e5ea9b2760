#include "widgets/VerticalUpAlignment.h"

#include "platform/ui/Label.h"

namespace VerticalUpAlignment {

void verticalUpAlignmentWithText(ui::Label* label, const QString& text, double maxHeight) {
    if (!label) return;
    const QRectF frame = label->frame();
    const double height =
        ui::Label::boundingRectForText(text, label->font(), QSizeF(frame.width(), maxHeight))
            .height();
    label->setFrame(QRectF(frame.x(), frame.y(), frame.width(), height));
    label->setText(text);
}

} // namespace VerticalUpAlignment
