#include "app/categories/BFStyleUtils.h"

#include "app/core/PublicFunction.h"
#include "platform/ui/Image.h"
#include "platform/ui/View.h"

#include <algorithm>
#include <cmath>

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
    const float version = PublicFunction::getVersionNumberOfDeviceSystem();
    if (image.isNull() || version < 4.0f) return image;
    if (version >= 5.0f)
        return ui::resizableImage(image, QMarginsF(CapLeft, capTop, CapLeft, capTop));
    // 4.x: a left cap width and a top cap height in whole points; the one point after each
    // stretches and the rest of the picture is the right or bottom cap. 0 stretches the whole
    // side.
    const QSizeF size = ui::imageSize(image);
    auto whole = [](float cap, double side) {
        return std::isfinite(cap)
                   ? std::clamp(std::trunc(double(cap)), 0.0, std::max(side - 1, 0.0))
                   : 0.0;
    };
    const double left = whole(CapLeft, size.width()), top = whole(capTop, size.height());
    const double right = left > 0 ? size.width() - left - 1 : 0;
    const double bottom = top > 0 ? size.height() - top - 1 : 0;
    return ui::resizableImage(image, QMarginsF(left, top, right, bottom));
}

void BFStyleUtils::styleWithBorder(ui::View* view) {
    if (!view) return;
    view->setCornerRadius(5);
    view->setClipsToBounds(true);
    view->setBorderWidth(5);
    view->setBorderColor(Qt::white);
}
