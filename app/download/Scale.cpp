#include "app/download/Scale.h"

#include "platform/ui/Image.h"

#include <QPainter>
#include <cmath>

namespace Scale {

QImage scaleWidth(const QImage& image, double width) {
    if (width <= 0 || image.isNull()) return image;
    const QSizeF points = ui::imageSize(image);
    const double dpr = image.devicePixelRatio();
    const int w = std::max(1, int(std::lround(width * dpr)));
    const int h = std::max(1, int(std::lround(points.height() * width / points.width() * dpr)));
    QImage scaled = image.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(dpr);
    return scaled;
}

QImage imgResize(const QImage& image, const QSizeF& size) {
    QImage out(std::max(1, int(std::lround(size.width()))),
               std::max(1, int(std::lround(size.height()))), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(QPointF(0, 0), size), image);
    return out;
}

QImage limitedWidth(const QImage& image) {
    if (image.isNull() || ui::imageSize(image).width() <= kMaxCachedWidth) return image;
    return scaleWidth(image, kMaxCachedWidth);
}

} // namespace Scale
