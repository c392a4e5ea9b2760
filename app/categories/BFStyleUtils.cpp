#include "app/categories/BFStyleUtils.h"

#include "platform/ui/Image.h"
#include "platform/ui/View.h"

#include <algorithm>

QColor BFStyleUtils::colorWithRed(float red, float green, float blue, float alpha) {
    return QColor::fromRgbF(std::clamp(red / 255.f, 0.f, 1.f), std::clamp(green / 255.f, 0.f, 1.f),
                            std::clamp(blue / 255.f, 0.f, 1.f), std::clamp(alpha, 0.f, 1.f));
}

QColor BFStyleUtils::colorWith(const BFColor& color) {
    return colorWithRed(color.red, color.green, color.blue, color.alpha);
}

QBrush BFStyleUtils::colorWithCommonBG() {
    return colorWithImage("homebg");
}

QBrush BFStyleUtils::colorWithImage(const QString& name) {
    const QImage image = ui::imageNamed(name);
    if (image.isNull()) return QBrush();
    return QBrush(image);
}

QImage BFStyleUtils::imageResizeWith(const QString& name, float CapLeft, float capTop) {
    const QImage image = ui::imageNamed(name);
    if (image.isNull()) return image;
    return ui::resizableImage(image, QMarginsF(CapLeft, capTop, CapLeft, capTop));
}

void BFStyleUtils::styleWithBorder(ui::View* view) {
    if (!view) return;
    view->setCornerRadius(5);
    view->setClipsToBounds(true);
    view->setBorderWidth(5);
    view->setBorderColor(Qt::white);
}
