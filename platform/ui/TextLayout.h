#pragma once

#include "platform/ui/AttributedString.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTextLayout>
#include <memory>
#include <vector>

class QPainter;

namespace ui {

// The platform's numbering (left 0, centre 1, right 2).
enum class TextAlignment { Left = 0, Center = 1, Right = 2, Justified = 3, Natural = 4 };

enum class LineBreakMode {
    WordWrapping = 0,
    CharWrapping = 1,
    Clipping = 2,
    TruncatingHead = 3,
    TruncatingTail = 4,
    TruncatingMiddle = 5,
};

// Lays text out in lines of the platform's metrics (Font::lineHeight, Font::ascender) and
// draws it. Shared by labels, buttons and the text-size helpers so all measure alike.
class TextLayout {
public:
    struct Options {
        QFont font;               // for spans without their own font
        QColor color = Qt::black; // for spans without their own colour
        TextAlignment alignment = TextAlignment::Left;
        LineBreakMode lineBreakMode = LineBreakMode::WordWrapping;
        int maximumLines = 0; // 0: as many as fit
    };

    TextLayout(const AttributedString& text, const Options& options);
    ~TextLayout();
    TextLayout(const TextLayout&) = delete;
    TextLayout& operator=(const TextLayout&) = delete;

    // Lays out within width (<= 0: unbounded) and height (<= 0: unbounded); returns the size
    // the text takes (widest line, lines times line height plus spacing).
    QSizeF layout(double width, double height = 0);
    int lineCount() const { return int(m_lines.size()); }
    bool isTruncated() const { return m_truncated; }
    // Draws the laid-out lines with their top-left at origin; width aligns them.
    void draw(QPainter& painter, const QPointF& origin, double width) const;

    // Size of text in one font within a size (<= 0 unbounded), the platform's
    // sizeWithFont:constrainedToSize:lineBreakMode:.
    static QSizeF boundingSize(const QString& text, const QFont& font, const QSizeF& constrained,
                               LineBreakMode mode = LineBreakMode::WordWrapping);
    static QSizeF boundingSize(const AttributedString& text, const QFont& font,
                               const QSizeF& constrained);

private:
    struct Line {
        std::unique_ptr<QTextLayout> own; // set when the line is laid out on its own (truncated)
        QTextLine line;
        double y = 0;     // top of the line
        double width = 0; // natural width
        double indent = 0;
    };
    QTextLayout* makeLayout(const QString& text, const QList<QTextLayout::FormatRange>& formats,
                            QTextOption::WrapMode wrap) const;
    QList<QTextLayout::FormatRange> formatsFor(int from, int to) const;
    double maxPointSize() const;

    AttributedString m_text;
    Options m_options;
    std::unique_ptr<QTextLayout> m_layout;
    std::vector<Line> m_lines;
    double m_lineHeight = 0;
    double m_ascender = 0;
    double m_spacing = 0;
    bool m_truncated = false;
};

} // namespace ui
