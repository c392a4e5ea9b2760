#pragma once

#include <QColor>
#include <QRectF>

namespace ui {
class View;
}

// Moving and resizing a view's frame in place.
namespace FrameMethods {
void moveHorizontal(ui::View* view, double dx, double vertical);
void moveHorizontal(ui::View* view, double dx, double vertical, double addWidth, double addHeight);
void moveToHorizontal(ui::View* view, double x, double toVertical);
void moveToHorizontal(ui::View* view, double x, double toVertical, double setWidth,
                      double setHeight);
void setWidth(ui::View* view, double width, double height);
void setWidth(ui::View* view, double width);
void setHeight(ui::View* view, double height);
void addWidth(ui::View* view, double dw, double addHeight);
void addWidth(ui::View* view, double dw);
void addHeight(ui::View* view, double dh);
// A white layer with a one-point border of the colour (grey by default) and round corners.
void setCornerRadius(ui::View* view, double radius);
void setCornerRadius(ui::View* view, double radius, const QColor& borderColor);
// The frame in window coordinates; empty when the view has no superview.
QRectF frameInWindow(const ui::View* view);
} // namespace FrameMethods
