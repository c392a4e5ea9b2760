#include "widgets/FittingLabel.h"

#include "platform/ui/TextLayout.h"

#include <QPainter>

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
    auto drawIn = [&](const QColor& color, const QPointF& shift) {
        ui::TextLayout layout(string, optionsFor(*this, font, color));
        const QSizeF size = layout.layout(rect.width(), rect.height());
        painter.save();
        painter.setPen(color);
        layout.draw(painter,
                    QPointF(rect.x(), rect.y() + (rect.height() - size.height()) / 2) + shift,
                    rect.width());
        painter.restore();
    };
    if (m_shadowColor.isValid() && m_shadowColor.alpha() > 0) drawIn(m_shadowColor, m_shadowOffset);
    drawIn(textColor(), QPointF());
}
