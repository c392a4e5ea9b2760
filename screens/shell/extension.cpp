#include "screens/shell/extension.h"

namespace extension {

QColor colorWithHex(quint32 hex, float alpha) {
    return QColor::fromRgbF(float((hex >> 16) & 0xff) / 255.f, float((hex >> 8) & 0xff) / 255.f,
                            float(hex & 0xff) / 255.f, alpha);
}

QColor colorWithHex(quint32 hex) {
    return colorWithHex(hex, 1.0f);
}

QString hexFromUIColor(const QColor& color) {
    if (!color.isValid()) return QStringLiteral("#FFFFFF");
    const QColor rgb = color.toRgb();
    const auto channel = [](float v) {
        return QStringLiteral("%1").arg(int(v * 255.f), 2, 16, QLatin1Char('0'));
    };
    return u'#' + channel(rgb.redF()) + channel(rgb.greenF()) + channel(rgb.blueF());
}

QString hexFromUIColor(const QBrush& color) {
    if (color.style() != Qt::SolidPattern) return QStringLiteral("#FFFFFF");
    return hexFromUIColor(color.color());
}

} // namespace extension
