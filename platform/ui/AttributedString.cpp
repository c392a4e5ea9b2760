#include "platform/ui/AttributedString.h"

#include <algorithm>

namespace ui {

void TextAttributes::merge(const TextAttributes& other) {
    if (other.font) font = other.font;
    if (other.foregroundColor) foregroundColor = other.foregroundColor;
    if (other.paragraphStyle) paragraphStyle = other.paragraphStyle;
}

AttributedString::AttributedString(const QString& text, const TextAttributes& attributes)
    : m_text(text.isNull() ? QString("") : text) {
    if (!m_text.isEmpty()) m_runs.append({{0, length()}, attributes});
}

void AttributedString::splitAt(int index) {
    for (int i = 0; i < m_runs.size(); ++i) {
        Run& r = m_runs[i];
        if (index > r.range.location && index < r.range.end()) {
            Run tail{{index, r.range.end() - index}, r.attributes};
            r.range.length = index - r.range.location;
            m_runs.insert(i + 1, tail);
            return;
        }
    }
}

void AttributedString::coalesce() {
    for (int i = 1; i < m_runs.size();) {
        if (m_runs[i].attributes == m_runs[i - 1].attributes) {
            m_runs[i - 1].range.length += m_runs[i].range.length;
            m_runs.removeAt(i);
        } else {
            ++i;
        }
    }
}

namespace {
TextRange clampRange(TextRange r, int len) {
    const int start = std::clamp(r.location, 0, len);
    const int end = std::clamp(r.location + std::max(0, r.length), start, len);
    return {start, end - start};
}
} // namespace

void AttributedString::addAttributes(const TextAttributes& attributes, TextRange range) {
    range = clampRange(range, length());
    if (range.length == 0) return;
    splitAt(range.location);
    splitAt(range.end());
    for (Run& r : m_runs)
        if (r.range.location >= range.location && r.range.end() <= range.end())
            r.attributes.merge(attributes);
    coalesce();
}

void AttributedString::setAttributes(const TextAttributes& attributes, TextRange range) {
    range = clampRange(range, length());
    if (range.length == 0) return;
    splitAt(range.location);
    splitAt(range.end());
    for (Run& r : m_runs)
        if (r.range.location >= range.location && r.range.end() <= range.end())
            r.attributes = attributes;
    coalesce();
}

void AttributedString::addFont(const QFont& font, TextRange range) {
    TextAttributes a;
    a.font = font;
    addAttributes(a, range);
}

void AttributedString::addForegroundColor(const QColor& color, TextRange range) {
    TextAttributes a;
    a.foregroundColor = color;
    addAttributes(a, range);
}

void AttributedString::addParagraphStyle(const ParagraphStyle& style, TextRange range) {
    TextAttributes a;
    a.paragraphStyle = style;
    addAttributes(a, range);
}

void AttributedString::appendString(const QString& text, const TextAttributes& attributes) {
    appendAttributedString(AttributedString(text, attributes));
}

void AttributedString::appendAttributedString(const AttributedString& other) {
    const int offset = length();
    m_text += other.m_text;
    for (Run r : other.m_runs) {
        r.range.location += offset;
        m_runs.append(r);
    }
    coalesce();
}

TextAttributes AttributedString::attributesAtIndex(int index) const {
    for (const Run& r : m_runs)
        if (index >= r.range.location && index < r.range.end()) return r.attributes;
    return {};
}

std::optional<ParagraphStyle> AttributedString::paragraphStyle() const {
    for (const Run& r : m_runs)
        if (r.attributes.paragraphStyle) return r.attributes.paragraphStyle;
    return std::nullopt;
}

bool AttributedString::operator==(const AttributedString& other) const {
    if (m_text != other.m_text || m_runs.size() != other.m_runs.size()) return false;
    for (int i = 0; i < m_runs.size(); ++i)
        if (!(m_runs[i].range == other.m_runs[i].range) ||
            !(m_runs[i].attributes == other.m_runs[i].attributes))
            return false;
    return true;
}

} // namespace ui
