#pragma once

#include "app/categories/BFColor.h"

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QString>

namespace ui {
class View;
}

// Colours on the 0-255 scale, pattern backgrounds and stretchable pictures.
class BFStyleUtils {
public:
    BFStyleUtils() = delete;

    static QColor colorWithRed(float red, float green, float blue, float alpha);
    static QColor colorWith(const BFColor& color);
    // The tiled "homebg" picture most screens stand on.
    static QBrush colorWithCommonBG();
    static QBrush colorWithImage(const QString& name);
    // The caps keep their size (left/right capLeft, top/bottom capTop); the middle stretches.
    // On a 4.x system the caps are whole left and top widths with one point stretching after
    // each; below 4 the picture is unchanged.
    static QImage imageResizeWith(const QString& name, float CapLeft, float capTop);
    static void styleWithBorder(ui::View* view);
};
