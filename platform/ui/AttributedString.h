#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <optional>

namespace ui {

// A span of UTF-16 units, as the platform's ranges count text.
struct TextRange {
    int location = 0;
    int length = 0;
    int end() const { return location + length; }
    bool operator==(const TextRange&) const = default;
};

struct ParagraphStyle {
    double lineSpacing = 0;         // extra points between lines
    double firstLineHeadIndent = 0; // points
    bool operator==(const ParagraphStyle&) const = default;
};

// Attributes of a span; an unset one falls back to the label's own font or colour.
struct TextAttributes {
    std::optional<QFont> font;
    std::optional<QColor> foregroundColor;
    std::optional<ParagraphStyle> paragraphStyle;
    bool operator==(const TextAttributes&) const = default;
    // Sets what other sets, keeps the rest.
    void merge(const TextAttributes& other);
};

// Text with attributed spans. Ranges outside the text are cut to it, so a bad range never
// fails.
class AttributedString {
public:
    struct Run {
        TextRange range;
        TextAttributes attributes;
    };

    AttributedString() = default;
    // A null string is taken as empty.
    explicit AttributedString(const QString& text, const TextAttributes& attributes = {});

    const QString& string() const { return m_text; }
    int length() const { return int(m_text.size()); }
    bool isEmpty() const { return m_text.isEmpty(); }

    void addAttributes(const TextAttributes& attributes, TextRange range);
    void setAttributes(const TextAttributes& attributes, TextRange range);
    void addFont(const QFont& font, TextRange range);
    void addForegroundColor(const QColor& color, TextRange range);
    void addParagraphStyle(const ParagraphStyle& style, TextRange range);

    void appendString(const QString& text, const TextAttributes& attributes = {});
    void appendAttributedString(const AttributedString& other);

    // Empty attributes at an index outside the text.
    TextAttributes attributesAtIndex(int index) const;
    // Maximal spans of equal attributes, covering the text in order.
    const QList<Run>& runs() const { return m_runs; }
    // The first paragraph style any span carries.
    std::optional<ParagraphStyle> paragraphStyle() const;

    bool operator==(const AttributedString&) const;

private:
    void splitAt(int index);
    void coalesce();
    QString m_text;
    QList<Run> m_runs;
};

} // namespace ui
