#pragma once

#include "platform/ui/AttributedString.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/View.h"

#include <QFont>
#include <optional>

namespace ui {

// A read-only text, drawn centred vertically in its bounds like the platform's labels.
// Labels ignore touches unless user interaction is switched on.
class Label : public View {
    Q_OBJECT
public:
    explicit Label(View* parent = nullptr);
    explicit Label(const QRectF& frame, View* parent = nullptr);

    QString text() const;
    // Replaces any attributed text.
    void setText(const QString& text);
    QFont font() const { return m_font; }
    void setFont(const QFont& font);
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor& color);
    TextAlignment textAlignment() const { return m_alignment; }
    void setTextAlignment(TextAlignment alignment);
    int numberOfLines() const { return m_lines; } // 0: any number
    void setNumberOfLines(int lines);
    LineBreakMode lineBreakMode() const { return m_breakMode; }
    void setLineBreakMode(LineBreakMode mode);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);
    QColor highlightedTextColor() const { return m_highlightedColor; }
    void setHighlightedTextColor(const QColor& color);

    // The attributed text: the one set, or the plain text in the label's font and colour.
    AttributedString attributedText() const;
    // Its string becomes the label's text.
    void setAttributedText(const AttributedString& text);
    bool hasAttributedText() const { return m_attributed.has_value(); }

    // The size the text needs within size (a dimension <= 0 is unbounded), honouring
    // numberOfLines and the line-break mode.
    QSizeF sizeThatFits(const QSizeF& size) const;
    // Resizes the frame to the text on one line (or its lines), keeping the origin.
    void sizeToFit();
    // Where the text is drawn within bounds.
    QRectF textRectForBounds(const QRectF& bounds) const;

    // The size of text in font within a constraining size (a dimension <= 0 is unbounded).
    static QSizeF boundingRectForText(const QString& text, const QFont& font,
                                      const QSizeF& constrainedSize,
                                      LineBreakMode mode = LineBreakMode::WordWrapping);

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    TextLayout::Options options() const;
    QString m_text;
    std::optional<AttributedString> m_attributed;
    QFont m_font;
    QColor m_textColor = Qt::black;
    QColor m_highlightedColor;
    TextAlignment m_alignment = TextAlignment::Left;
    int m_lines = 1;
    LineBreakMode m_breakMode = LineBreakMode::TruncatingTail;
    bool m_highlighted = false;
};

} // namespace ui
