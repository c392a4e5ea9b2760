#pragma once

#include <QImage>
#include <QSizeF>

// Scaling of pictures, in points.
namespace Scale {
// The image at that width, height in proportion; a width of 0 or less gives the image itself.
QImage scaleWidth(const QImage& image, double width);
// The image drawn into a new bitmap of that size (scale 1).
QImage imgResize(const QImage& image, const QSizeF& size);
// Pictures wider than this are scaled down to it when cached.
inline constexpr double kMaxCachedWidth = 640;
// The image scaled down to kMaxCachedWidth when wider, else itself.
QImage limitedWidth(const QImage& image);
} // namespace Scale
