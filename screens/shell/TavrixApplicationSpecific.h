#pragma once

#include <QColor>

// The brand colours.
namespace TavrixApplicationSpecific {
QColor tavrix_blueColor();    // 70/140/202
QColor tavrix_greenColor();   // 45/152/88
QColor tavrix_roseRedColor(); // 202/86/68
} // namespace TavrixApplicationSpecific
