#pragma once

#include <QBrush>
#include <QColor>
#include <QString>

// Colours to and from hexadecimal codes.
namespace extension {
// 0xRRGGBB; bits above the low 24 are ignored.
QColor colorWithHex(quint32 hex, float alpha);
QColor colorWithHex(quint32 hex);
// "#rrggbb" in lower case; a colour that is not plain RGB (a pattern) gives "#FFFFFF".
QString hexFromUIColor(const QColor& color);
QString hexFromUIColor(const QBrush& color);
} // namespace extension
