#include "platform/ui/Font.h"

#include <QStringList>
#include <cmath>

namespace ui {

namespace {

constexpr double kLineFactor = 1.2;
constexpr double kAscenderFactor = 0.98;

QFont make(double size, QFont::Weight weight) {
    QFont f(Font::systemFamily());
    f.setFamilies(QStringList{Font::systemFamily()});
    // Pixel sizes keep a point equal to a device-independent pixel whatever the screen's DPI.
    f.setPixelSize(std::max(1, int(std::lround(size))));
    f.setWeight(weight);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

} // namespace

QString Font::systemFamily() {
    return QStringLiteral("Noto Sans CJK SC");
}

QFont Font::systemFontOfSize(double size) {
    return make(size, QFont::Normal);
}

QFont Font::boldSystemFontOfSize(double size) {
    return make(size, QFont::Bold);
}

QFont Font::fontWithName(const QString& name, double size) {
    if (name.contains(QLatin1String("Light"), Qt::CaseInsensitive) ||
        name.contains(QLatin1String("Thin"), Qt::CaseInsensitive))
        return make(size, QFont::Light);
    if (name.contains(QLatin1String("Bold"), Qt::CaseInsensitive)) return make(size, QFont::Bold);
    if (name.contains(QLatin1String("Medium"), Qt::CaseInsensitive))
        return make(size, QFont::Medium);
    return make(size, QFont::Normal);
}

double Font::pointSize(const QFont& font) {
    if (font.pixelSize() > 0) return font.pixelSize();
    // A font made elsewhere in points: at the 96 DPI the offscreen and desktop screens report.
    return font.pointSizeF() > 0 ? font.pointSizeF() * 96.0 / 72.0 : 12.0;
}

double Font::lineHeight(const QFont& font) {
    return pointSize(font) * kLineFactor;
}

double Font::ascender(const QFont& font) {
    return pointSize(font) * kAscenderFactor;
}

double Font::descender(const QFont& font) {
    return ascender(font) - lineHeight(font);
}

} // namespace ui
