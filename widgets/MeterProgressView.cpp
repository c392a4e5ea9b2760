#include "widgets/MeterProgressView.h"

#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "widgets/Canvas.h"
#include "widgets/QPainterCanvas.h"

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
const QPointF kDialCenter(108, 108);
constexpr double kDialRadius = 101.5;

} // namespace

MeterProgressView::MeterProgressView(const QRectF& frame, View* parent) : View(frame, parent) {
    setBackgroundColor(Qt::transparent);

    m_labelFlow = new ui::Label(QRectF(0, 0, 245, 100), this);
    m_labelFlow->setTextColor(QColor(251, 89, 68));
    m_labelFlow->setFont(ui::Font::systemFontOfSize(40));
    m_labelFlow->setBackgroundColor(Qt::transparent);
    m_labelFlow->setTextAlignment(ui::TextAlignment::Center);
    m_labelFlow->setCenter(QPointF(108, 96));

    auto* caption = new ui::Label(QRectF(0, 0, 100, 40), this);
    caption->setTextColor(Qt::white);
    caption->setFont(ui::Font::systemFontOfSize(14));
    caption->setBackgroundColor(Qt::transparent);
    caption->setTextAlignment(ui::TextAlignment::Center);
    caption->setText(QStringLiteral("剩余可用流量"));
    caption->setCenter(QPointF(108, 130));
}

void MeterProgressView::setProgress(float progress) {
    // Not a number is as good as not known.
    m_progress = std::isnan(progress) ? -1.0f : progress;
}

void MeterProgressView::setProgress(float progress, bool) {
    setProgress(progress);
}

void MeterProgressView::setProgressWidth(float width) {
    m_progressWidth = width;
    update();
}

void MeterProgressView::setTrackColor(const QColor& color) {
    m_trackColor = color;
    update();
}

void MeterProgressView::setProgressColor(const QColor& color) {
    m_progressColor = color;
    update();
}

QColor MeterProgressView::bandColor(float p) {
    if (p > 75) return QColor(36, 251, 249);
    if (p > 50) return QColor(94, 251, 101);
    if (p > 25) return QColor(254, 164, 85);
    if (p >= 0) return QColor(255, 87, 74);
    return Qt::white;
}

void MeterProgressView::updateLabelFlow(const QColor& band) {
    if (!m_labelFlow) return;
    ui::TextAttributes number;
    number.font = ui::Font::systemFontOfSize(40);
    number.foregroundColor = band;
    ui::TextAttributes unit;
    unit.font = ui::Font::systemFontOfSize(18);
    unit.foregroundColor = QColor(Qt::white);
    ui::AttributedString text(m_surplusFlowData, number);
    text.appendString(m_surplusFlowUnit, unit);
    // Drawing runs this; an unchanged text must not ask for another pass.
    if (!m_labelFlow->hasAttributedText() || !(m_labelFlow->attributedText() == text))
        m_labelFlow->setAttributedText(text);
}

void MeterProgressView::draw(Canvas& canvas, const QRectF& dirty) {
    canvas.fillRect(dirty, backgroundColor());
    canvas.drawImage(m_bgView, bounds());
    canvas.setLineWidth(10);

    // Past the top the dial is simply full.
    const float p = std::min(m_progress, 100.0f);
    const QColor band = bandColor(p);
    canvas.setStrokeColor(band);
    updateLabelFlow(band);

    auto segment = [&](double start, double end) {
        canvas.addArc(kDialCenter, kDialRadius, start, end, false);
        canvas.strokePath();
    };
    // Differences in single precision, the rest in double, the end narrowed to single: the
    // angles the dial has always drawn.
    if (p > 0) segment(2.72, p < 25 ? float(2.72 + 0.82 * p / 25) : 3.54);
    if (p > 25) {
        const float d = p - 25.0f;
        segment(3.625, p < 50 ? float(3.625 + 1.061 * d / 25) : 4.686);
    }
    if (p > 50) {
        const float d = p - 50.0f;
        segment(4.758, p < 75 ? float(4.758 + 1.0815 * d / 25) : 5.84);
    }
    if (p > 75) {
        double end = 0.43;
        if (p < 100) {
            const float d = p - 75.0f;
            double sum = 5.92 + 0.7931853143321437 * d / 25;
            if (sum > 2 * kPi) sum -= 2 * kPi;
            end = float(sum);
        }
        segment(5.92, end);
    }

    // The two rings lie over the content and show only in the colours set for them.
    const double radius = (bounds().width() - m_progressWidth) / 2;
    const QPointF center = bounds().center();
    if (m_trackColor.isValid()) {
        canvas.setLineWidth(m_progressWidth);
        canvas.setStrokeColor(m_trackColor);
        canvas.addArc(center, radius, 0, 2 * kPi, false);
        canvas.strokePath();
    }
    if (m_progressColor.isValid()) {
        const double fraction = std::clamp(double(m_progress), 0.0, 1.0);
        canvas.setLineWidth(m_progressWidth);
        canvas.setStrokeColor(m_progressColor);
        canvas.setLineCap(Canvas::LineCap::Round);
        canvas.addArc(center, radius, -kPi / 2, fraction * 2 * kPi - kPi / 2, false);
        canvas.strokePath();
        canvas.setLineCap(Canvas::LineCap::Butt);
    }
}

void MeterProgressView::drawRect(QPainter& painter, const QRectF& rect) {
    QPainterCanvas canvas(painter);
    draw(canvas, rect);
}
