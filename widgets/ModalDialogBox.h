#pragma once

#include "platform/ui/View.h"

class Canvas;

// The dialog's rounded grey box: a top-to-bottom grey gradient, a one-point border and a soft
// shadow the dialog paints behind it. Its scale and rotation are kept as the transform the
// dialog animates; the scale is drawn (box, content and shadow zoom about the box's centre),
// the rotation only kept, since a desktop window never turns.
class ModalDialogBox : public ui::View {
    Q_OBJECT
public:
    static constexpr double kCornerRadius = 7;
    static QColor separatorColor();

    explicit ModalDialogBox(const QRectF& frame, View* parent = nullptr);

    double scale() const { return m_scale; }
    void setScale(double scale);
    double rotation() const { return m_rotation; }
    void setRotation(double radians) { m_rotation = radians; }

    void draw(Canvas& canvas) const;
    // The shadow as the dialog draws it behind the box, in the dialog's coordinates.
    void drawShadow(Canvas& canvas) const;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    double m_scale = 1;
    double m_rotation = 0;
};
