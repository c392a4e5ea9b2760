#pragma once

#include "platform/ui/ImageView.h"

// An image view whose picture can be turned about its centre (the arrows of folding
// section headers).
class TurningImageView : public ui::ImageView {
    Q_OBJECT
public:
    explicit TurningImageView(const QImage& image, ui::View* parent = nullptr);

    double angle() const { return m_angle; } // radians, clockwise
    void setAngle(double radians);
    // Turns from the current angle to radians over duration seconds: a spring on systems from 7
    // on, a plain timed turn before.
    void turnTo(double radians, double duration, double damping, double velocity);

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    double m_angle = 0;
};
