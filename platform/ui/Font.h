#pragma once

#include <QFont>
#include <QString>

namespace ui {

// The platform's fonts. Sizes are in points (one point is one device-independent pixel).
// The Chinese family is named explicitly: left to fontconfig under a C locale, the CJK
// collection answers with its Japanese glyph forms.
class Font {
public:
    Font() = delete;

    static QString systemFamily(); // "Noto Sans CJK SC"

    static QFont systemFontOfSize(double size);
    static QFont boldSystemFontOfSize(double size);
    // Named faces the screens ask for; "STHeitiSC-Light" is the light CJK face, a name with
    // "Bold" or "Medium" a heavier one, anything else the system font.
    static QFont fontWithName(const QString& name, double size);

    // Metrics of a font as the screens' layout arithmetic expects them, in points: a line is
    // 1.2 times the size, with the baseline at ascender below its top.
    static double pointSize(const QFont& font);
    static double lineHeight(const QFont& font);
    static double ascender(const QFont& font);
    static double descender(const QFont& font); // negative, as the platform reports it
};

} // namespace ui
