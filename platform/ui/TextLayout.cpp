#include "platform/ui/TextLayout.h"

#include "platform/ui/Font.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextCharFormat>
#include <cmath>

namespace ui {

namespace {

constexpr double kUnbounded = 1e7;

// QTextLayout breaks lines only at the line separator.
QString withHardBreaks(QString text) {
    text.replace(QChar('\n'), QChar::LineSeparator);
    text.replace(QChar('\r'), QChar::LineSeparator);
    return text;
}

bool truncates(LineBreakMode m) {
    return m == LineBreakMode::TruncatingHead || m == LineBreakMode::TruncatingTail ||
           m == LineBreakMode::TruncatingMiddle;
}

Qt::TextElideMode elideMode(LineBreakMode m) {
    switch (m) {
    case LineBreakMode::TruncatingHead:
        return Qt::ElideLeft;
    case LineBreakMode::TruncatingMiddle:
        return Qt::ElideMiddle;
    default:
        return Qt::ElideRight;
    }
}

} // namespace

TextLayout::TextLayout(const AttributedString& text, const Options& options)
    : m_text(text), m_options(options) {}

TextLayout::~TextLayout() = default;

double TextLayout::maxPointSize() const {
    double size = Font::pointSize(m_options.font);
    bool any = false;
    double runMax = 0;
    for (const auto& r : m_text.runs()) {
        const QFont f = r.attributes.font.value_or(m_options.font);
        runMax = std::max(runMax, Font::pointSize(f));
        any = true;
    }
    return any ? runMax : size;
}

QList<QTextLayout::FormatRange> TextLayout::formatsFor(int from, int to) const {
    QList<QTextLayout::FormatRange> out;
    for (const auto& r : m_text.runs()) {
        const int s = std::max(from, r.range.location);
        const int e = std::min(to, r.range.end());
        if (e <= s) continue;
        QTextCharFormat fmt;
        fmt.setFont(r.attributes.font.value_or(m_options.font), QTextCharFormat::FontPropertiesAll);
        fmt.setForeground(r.attributes.foregroundColor.value_or(m_options.color));
        out.append({s - from, e - s, fmt});
    }
    return out;
}

QTextLayout* TextLayout::makeLayout(const QString& text,
                                    const QList<QTextLayout::FormatRange>& formats,
                                    QTextOption::WrapMode wrap) const {
    auto* l = new QTextLayout(text, m_options.font);
    l->setCacheEnabled(true);
    QTextOption opt;
    opt.setWrapMode(wrap);
    l->setTextOption(opt);
    l->setFormats(formats);
    return l;
}

QSizeF TextLayout::layout(double width, double height) {
    m_lines.clear();
    m_layout.reset();
    m_truncated = false;
    const double size = maxPointSize();
    m_lineHeight = size * (Font::lineHeight(m_options.font) / Font::pointSize(m_options.font));
    m_ascender = size * (Font::ascender(m_options.font) / Font::pointSize(m_options.font));
    const std::optional<ParagraphStyle> para = m_text.paragraphStyle();
    m_spacing = para ? std::max(0.0, para->lineSpacing) : 0;
    const double firstIndent = para ? std::max(0.0, para->firstLineHeadIndent) : 0;
    if (m_text.isEmpty()) return {0, 0};

    const LineBreakMode mode = m_options.lineBreakMode;
    int limit = m_options.maximumLines > 0 ? m_options.maximumLines : INT_MAX;
    if (height > 0) {
        const int fit = int(std::floor((height + m_spacing + 1e-6) / (m_lineHeight + m_spacing)));
        limit = std::min(limit, std::max(1, fit));
    }
    const bool bounded = width > 0;
    QTextOption::WrapMode wrap = QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (mode == LineBreakMode::CharWrapping) wrap = QTextOption::WrapAnywhere;
    if (limit == 1 && (truncates(mode) || mode == LineBreakMode::Clipping))
        wrap = QTextOption::NoWrap;
    if (!bounded) wrap = QTextOption::NoWrap;

    const QString text = withHardBreaks(m_text.string());
    m_layout.reset(makeLayout(text, formatsFor(0, m_text.length()), wrap));
    m_layout->beginLayout();
    for (int i = 0; i < limit; ++i) {
        QTextLine line = m_layout->createLine();
        if (!line.isValid()) break;
        const double indent = i == 0 ? firstIndent : 0;
        line.setLineWidth(bounded ? std::max(1.0, width - indent) : kUnbounded);
        const double top = i * (m_lineHeight + m_spacing);
        line.setPosition(QPointF(indent, top + m_ascender - line.ascent()));
        Line l;
        l.line = line;
        l.y = top;
        l.indent = indent;
        l.width = line.naturalTextWidth();
        m_lines.push_back(std::move(l));
    }
    m_layout->endLayout();
    if (m_lines.empty()) return {0, 0};

    Line& last = m_lines.back();
    const int lastStart = last.line.textStart();
    const bool moreText = lastStart + last.line.textLength() < text.size();
    const bool overflows = bounded && last.indent + last.width > width + 0.01;
    m_truncated = moreText || (wrap == QTextOption::NoWrap && overflows);
    if (m_truncated && truncates(mode) && bounded) {
        // The last line carries the ellipsis: lay the rest of the text out on its own.
        QString rest = text.mid(lastStart);
        rest.replace(QChar::LineSeparator, QChar(' '));
        const TextAttributes attrs = m_text.attributesAtIndex(lastStart);
        const QFont font = attrs.font.value_or(m_options.font);
        const double avail = std::max(1.0, width - last.indent);
        const QString elided = QFontMetricsF(font).elidedText(rest, elideMode(mode), avail);
        QTextCharFormat fmt;
        fmt.setFont(font, QTextCharFormat::FontPropertiesAll);
        fmt.setForeground(attrs.foregroundColor.value_or(m_options.color));
        auto own = std::unique_ptr<QTextLayout>(
            makeLayout(elided, {{0, int(elided.size()), fmt}}, QTextOption::NoWrap));
        own->beginLayout();
        QTextLine line = own->createLine();
        line.setLineWidth(kUnbounded);
        line.setPosition(QPointF(last.indent, last.y + m_ascender - line.ascent()));
        own->endLayout();
        last.line = line;
        last.width = line.naturalTextWidth();
        last.own = std::move(own);
    }

    double w = 0;
    for (const Line& l : m_lines)
        w = std::max(w, l.indent + l.width);
    if (bounded) w = std::min(w, width);
    const int n = int(m_lines.size());
    return {w, n * m_lineHeight + (n - 1) * m_spacing};
}

void TextLayout::draw(QPainter& painter, const QPointF& origin, double width) const {
    for (const Line& l : m_lines) {
        double dx = 0;
        const double used = l.indent + l.width;
        if (m_options.alignment == TextAlignment::Center)
            dx = (width - used) / 2;
        else if (m_options.alignment == TextAlignment::Right)
            dx = width - used;
        l.line.draw(&painter, origin + QPointF(dx, 0));
    }
}

QSizeF TextLayout::boundingSize(const QString& text, const QFont& font, const QSizeF& constrained,
                                LineBreakMode mode) {
    Options o;
    o.font = font;
    o.lineBreakMode = mode;
    TextLayout layout(AttributedString(text), o);
    return layout.layout(constrained.width(), constrained.height());
}

QSizeF TextLayout::boundingSize(const AttributedString& text, const QFont& font,
                                const QSizeF& constrained) {
    Options o;
    o.font = font;
    TextLayout layout(text, o);
    return layout.layout(constrained.width(), constrained.height());
}

} // namespace ui
