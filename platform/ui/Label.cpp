#include "platform/ui/Label.h"

#include "platform/ui/Font.h"

#include <QPainter>
#include <cmath>

namespace ui {

Label::Label(View* parent) : Label(QRectF(), parent) {}

Label::Label(const QRectF& frame, View* parent)
    : View(frame, parent), m_font(Font::systemFontOfSize(17)) {
    setUserInteractionEnabled(false);
}

QString Label::text() const {
    return m_attributed ? m_attributed->string() : m_text;
}

void Label::setText(const QString& text) {
    m_attributed.reset();
    m_text = text;
    update();
}

void Label::setFont(const QFont& font) {
    m_font = font;
    update();
}

void Label::setTextColor(const QColor& color) {
    m_textColor = color;
    update();
}

void Label::setTextAlignment(TextAlignment alignment) {
    m_alignment = alignment;
    update();
}

void Label::setNumberOfLines(int lines) {
    m_lines = std::max(0, lines);
    update();
}

void Label::setLineBreakMode(LineBreakMode mode) {
    m_breakMode = mode;
    update();
}

void Label::setHighlighted(bool highlighted) {
    m_highlighted = highlighted;
    update();
}

void Label::setHighlightedTextColor(const QColor& color) {
    m_highlightedColor = color;
    update();
}

AttributedString Label::attributedText() const {
    if (m_attributed) return *m_attributed;
    TextAttributes a;
    a.font = m_font;
    a.foregroundColor = m_textColor;
    return AttributedString(m_text, a);
}

void Label::setAttributedText(const AttributedString& text) {
    m_attributed = text;
    m_text = text.string();
    update();
}

TextLayout::Options Label::options() const {
    TextLayout::Options o;
    o.font = m_font;
    o.color = (m_highlighted && m_highlightedColor.isValid()) ? m_highlightedColor : m_textColor;
    o.alignment = m_alignment;
    o.lineBreakMode = m_breakMode;
    o.maximumLines = m_lines;
    return o;
}

QSizeF Label::sizeThatFits(const QSizeF& size) const {
    TextLayout layout(m_attributed ? *m_attributed : AttributedString(m_text), options());
    return layout.layout(size.width(), size.height());
}

void Label::sizeToFit() {
    const QSizeF s = sizeThatFits(QSizeF(m_lines == 1 ? 0 : frame().width(), 0));
    setFrame(QRectF(frame().topLeft(), QSizeF(std::ceil(s.width()), std::ceil(s.height()))));
}

QRectF Label::textRectForBounds(const QRectF& bounds) const {
    TextLayout layout(m_attributed ? *m_attributed : AttributedString(m_text), options());
    const QSizeF s = layout.layout(bounds.width(), bounds.height());
    return {bounds.x(), bounds.y() + (bounds.height() - s.height()) / 2, bounds.width(),
            s.height()};
}

QSizeF Label::boundingRectForText(const QString& text, const QFont& font,
                                  const QSizeF& constrainedSize, LineBreakMode mode) {
    return TextLayout::boundingSize(text, font, constrainedSize, mode);
}

void Label::drawRect(QPainter& painter, const QRectF& rect) {
    if (text().isEmpty()) return;
    TextLayout::Options o = options();
    AttributedString s = m_attributed ? *m_attributed : AttributedString(m_text);
    if (m_highlighted && m_highlightedColor.isValid() && m_attributed) {
        // Highlighting recolours every span, as the platform does.
        s.addForegroundColor(m_highlightedColor, {0, s.length()});
    }
    TextLayout layout(s, o);
    const QSizeF size = layout.layout(rect.width(), rect.height());
    painter.save();
    painter.setPen(o.color);
    layout.draw(painter, QPointF(rect.x(), rect.y() + (rect.height() - size.height()) / 2),
                rect.width());
    painter.restore();
}

} // namespace ui
