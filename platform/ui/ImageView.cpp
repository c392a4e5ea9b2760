#include "platform/ui/ImageView.h"

#include "platform/ui/Image.h"

#include <QPainter>

namespace ui {

QRectF contentRect(ContentMode mode, const QSizeF& size, const QRectF& b) {
    if (size.isEmpty()) return b;
    const double sx = b.width() / size.width(), sy = b.height() / size.height();
    auto centred = [&](double scale) {
        const QSizeF s = size * scale;
        return QRectF(b.x() + (b.width() - s.width()) / 2, b.y() + (b.height() - s.height()) / 2,
                      s.width(), s.height());
    };
    const double w = size.width(), h = size.height();
    const double cx = b.x() + (b.width() - w) / 2, cy = b.y() + (b.height() - h) / 2;
    switch (mode) {
    case ContentMode::ScaleToFill:
    case ContentMode::Redraw:
        return b;
    case ContentMode::ScaleAspectFit:
        return centred(std::min(sx, sy));
    case ContentMode::ScaleAspectFill:
        return centred(std::max(sx, sy));
    case ContentMode::Center:
        return {cx, cy, w, h};
    case ContentMode::Top:
        return {cx, b.y(), w, h};
    case ContentMode::Bottom:
        return {cx, b.bottom() - h, w, h};
    case ContentMode::Left:
        return {b.x(), cy, w, h};
    case ContentMode::Right:
        return {b.right() - w, cy, w, h};
    case ContentMode::TopLeft:
        return {b.x(), b.y(), w, h};
    case ContentMode::TopRight:
        return {b.right() - w, b.y(), w, h};
    case ContentMode::BottomLeft:
        return {b.x(), b.bottom() - h, w, h};
    case ContentMode::BottomRight:
        return {b.right() - w, b.bottom() - h, w, h};
    }
    return b;
}

ImageView::ImageView(View* parent) : ImageView(QRectF(), parent) {}

ImageView::ImageView(const QRectF& frame, View* parent) : View(frame, parent) {
    setUserInteractionEnabled(false);
}

ImageView::ImageView(const QImage& image, View* parent)
    : ImageView(QRectF(QPointF(0, 0), imageSize(image)), parent) {
    m_image = image;
}

void ImageView::setImage(const QImage& image) {
    m_image = image;
    update();
}

void ImageView::setHighlightedImage(const QImage& image) {
    m_highlightedImage = image;
    update();
}

void ImageView::setHighlighted(bool highlighted) {
    m_highlighted = highlighted;
    update();
}

void ImageView::setContentMode(ContentMode mode) {
    m_mode = mode;
    update();
}

QImage ImageView::displayedImage() const {
    return (m_highlighted && !m_highlightedImage.isNull()) ? m_highlightedImage : m_image;
}

void ImageView::drawRect(QPainter& painter, const QRectF& rect) {
    const QImage img = displayedImage();
    if (img.isNull()) return;
    painter.save();
    // Content spilling out of an aspect fill stays inside, as the platform's views clip
    // their own drawing.
    painter.setClipRect(rect);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    drawImage(painter, contentRect(m_mode, imageSize(img), rect), img);
    painter.restore();
}

} // namespace ui
