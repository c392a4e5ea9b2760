#include "widgets/FittingLabel.h"

#include "platform/ui/TextLayout.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

ui::TextLayout::Options optionsFor(const ui::Label& label, const QFont& font, const QColor& color) {
    ui::TextLayout::Options o;
    o.font = font;
    o.color = color;
    o.alignment = label.textAlignment();
    o.lineBreakMode = label.lineBreakMode();
    o.maximumLines = label.numberOfLines();
    return o;
}

QFont withSize(QFont font, int size) {
    font.setPixelSize(size);
    return font;
}

} // namespace

FittingLabel::FittingLabel(const QRectF& frame, View* parent) : ui::Label(frame, parent) {}

void FittingLabel::setAdjustsFontSizeToFitWidth(bool on) {
    m_adjusts = on;
    update();
}

void FittingLabel::setShadowColor(const QColor& color) {
    m_shadowColor = color;
    update();
}

void FittingLabel::setShadowOffset(const QPointF& offset) {
    m_shadowOffset = offset;
    update();
}

bool FittingLabel::fits(const QFont& font, const QSizeF& size) const {
    ui::TextLayout layout(ui::AttributedString(text()), optionsFor(*this, font, textColor()));
    const QSizeF used = layout.layout(size.width(), size.height());
    return !layout.isTruncated() && used.width() <= size.width() + 0.5 &&
           used.height() <= size.height() + 0.5;
}

QFont FittingLabel::fittedFont() const {
    const QFont full = font();
    const QSizeF size = bounds().size();
    if (!m_adjusts || text().isEmpty() || size.isEmpty() || fits(full, size)) return full;
    // Halving the range of sizes: a handful of layouts whatever the text's length.
    int low = kMinimumFontSize;
    int high = full.pixelSize() - 1;
    if (high <= low) return withSize(full, kMinimumFontSize);
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        if (fits(withSize(full, mid), size))
            low = mid;
        else
            high = mid - 1;
    }
    return withSize(full, low);
}

void FittingLabel::drawRect(QPainter& painter, const QRectF& rect) {
    if (text().isEmpty()) return;
    const QFont font = fittedFont();
    const ui::AttributedString string(text());
    // Text and shadow are laid down at full strength first, then faded as one: a faded label
    // must not show its shadow through its letters.
    // As sharp as the device draws it (screens and pictures may draw at more than 1).
    const QTransform device = painter.deviceTransform();
    const qreal ratio = std::clamp(std::hypot(device.m11(), device.m12()), 1.0, 4.0);
    QImage layer((rect.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull()) return;
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    QPainter p(&layer);
    p.setRenderHints(painter.renderHints());
    auto drawIn = [&](const QColor& color, const QPointF& shift) {
        ui::TextLayout layout(string, optionsFor(*this, font, color));
        const QSizeF size = layout.layout(rect.width(), rect.height());
        p.setPen(color);
        layout.draw(p, QPointF(0, (rect.height() - size.height()) / 2) + shift, rect.width());
    };
    if (m_shadowColor.isValid() && m_shadowColor.alpha() > 0) drawIn(m_shadowColor, m_shadowOffset);
    drawIn(textColor(), QPointF());
    p.end();
    painter.drawImage(rect.topLeft(), layer);
}
