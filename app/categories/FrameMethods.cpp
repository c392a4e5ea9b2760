#include "app/categories/FrameMethods.h"

#include "platform/ui/View.h"

namespace FrameMethods {

namespace {
void adjust(ui::View* view, double dx, double dy, double dw, double dh) {
    if (!view) return;
    const QRectF f = view->frame();
    view->setFrame(QRectF(f.x() + dx, f.y() + dy, f.width() + dw, f.height() + dh));
}
} // namespace

void moveHorizontal(ui::View* view, double dx, double vertical) {
    adjust(view, dx, vertical, 0, 0);
}

void moveHorizontal(ui::View* view, double dx, double vertical, double addWidth, double addHeight) {
    adjust(view, dx, vertical, addWidth, addHeight);
}

void moveToHorizontal(ui::View* view, double x, double toVertical) {
    if (view) view->setFrame(QRectF(QPointF(x, toVertical), view->frame().size()));
}

void moveToHorizontal(ui::View* view, double x, double toVertical, double setWidth,
                      double setHeight) {
    if (view) view->setFrame(QRectF(x, toVertical, setWidth, setHeight));
}

void setWidth(ui::View* view, double width, double height) {
    if (view) view->setFrame(QRectF(view->frame().topLeft(), QSizeF(width, height)));
}

void setWidth(ui::View* view, double width) {
    if (view) setWidth(view, width, view->frame().height());
}

void setHeight(ui::View* view, double height) {
    if (view) setWidth(view, view->frame().width(), height);
}

void addWidth(ui::View* view, double dw, double addHeight) {
    adjust(view, 0, 0, dw, addHeight);
}
void addWidth(ui::View* view, double dw) {
    adjust(view, 0, 0, dw, 0);
}
void addHeight(ui::View* view, double dh) {
    adjust(view, 0, 0, 0, dh);
}

void setCornerRadius(ui::View* view, double radius) {
    setCornerRadius(view, radius, QColor(128, 128, 128));
}

void setCornerRadius(ui::View* view, double radius, const QColor& borderColor) {
    if (!view) return;
    view->setBackgroundColor(Qt::white);
    view->setBorderColor(borderColor);
    view->setBorderWidth(1);
    view->setCornerRadius(radius);
    view->setClipsToBounds(true);
}

QRectF frameInWindow(const ui::View* view) {
    if (!view || !view->superview()) return {};
    return view->superview()->convertRectToView(view->frame(), nullptr);
}

} // namespace FrameMethods
