#include "screens/billing/TurningImageView.h"

#include "app/core/PublicFunction.h"
#include "platform/ui/Animation.h"

#include <QPainter>
#include <QtMath>

TurningImageView::TurningImageView(const QImage& image, ui::View* parent)
    : ui::ImageView(image, parent) {}

void TurningImageView::setAngle(double radians) {
    m_angle = radians;
    update();
}

void TurningImageView::turnTo(double radians, double duration, double damping, double velocity) {
    const double from = m_angle;
    if (qFuzzyCompare(from + 1, radians + 1)) return;
    auto step = [this, from, radians](double p) { setAngle(from + (radians - from) * p); };
    if (PublicFunction::isIOS7OrLater())
        ui::Animation::runSpring(this, QStringLiteral("turn"), duration, damping, velocity, step);
    else
        ui::Animation::run(this, QStringLiteral("turn"), duration, ui::Animation::Curve::EaseInOut,
                           step);
}

void TurningImageView::drawRect(QPainter& painter, const QRectF& rect) {
    if (m_angle == 0) {
        ui::ImageView::drawRect(painter, rect);
        return;
    }
    const QPointF centre = bounds().center() - bounds().topLeft();
    painter.save();
    painter.translate(centre);
    painter.rotate(qRadiansToDegrees(m_angle));
    painter.translate(-centre);
    ui::ImageView::drawRect(painter, rect);
    painter.restore();
}
