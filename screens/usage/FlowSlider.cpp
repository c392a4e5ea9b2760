#include "screens/usage/FlowSlider.h"

#include "platform/ui/Image.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
constexpr double kThumb = 16;
constexpr double kTrack = 4;
} // namespace

FlowSlider::FlowSlider(const QRectF& frame, View* parent) : View(frame, parent) {
    setUserInteractionEnabled(false);
}

void FlowSlider::setValue(float value) {
    m_value = std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
    update();
}

void FlowSlider::setMinimumTrackImage(const QString& name) {
    m_minimumTrack = name;
    update();
}

void FlowSlider::setMaximumTrackImage(const QString& name) {
    m_maximumTrack = name;
    update();
}

void FlowSlider::setThumbImage(const QString& name) {
    m_thumb = name;
    update();
}

double FlowSlider::thumbCentreX() const {
    return kThumb / 2 + (bounds().width() - kThumb) * double(m_value);
}

void FlowSlider::drawRect(QPainter& painter, const QRectF&) {
    const QRectF b = bounds();
    const double x = thumbCentreX();
    const double trackY = (b.height() - kTrack) / 2;
    ui::drawImage(painter, QRectF(0, trackY, x, kTrack), ui::imageNamed(m_minimumTrack));
    ui::drawImage(painter, QRectF(x, trackY, b.width() - x, kTrack),
                  ui::imageNamed(m_maximumTrack));
    ui::drawImage(painter, QRectF(x - kThumb / 2, (b.height() - kThumb) / 2, kThumb, kThumb),
                  ui::imageNamed(m_thumb));
}
