#pragma once

#include "platform/ui/Label.h"
#include "platform/ui/View.h"

#include <QColor>
#include <QPointer>
#include <QString>

class Canvas;

namespace ui {
class Label;
}

// The gauge of remaining data: a background picture, a dial of four arc segments filled as
// far as the percentage reaches in the colour of its band, and the remaining amount as a
// large number with a smaller unit above the caption "剩余可用流量".
class MeterProgressView : public ui::View {
    Q_OBJECT
public:
    explicit MeterProgressView(const QRectF& frame, View* parent = nullptr);

    // Percentage of data remaining, 0 to 100; negative means not known yet. The owner asks
    // for the redraw.
    float progress() const { return m_progress; }
    void setProgress(float progress);
    void setProgress(float progress, bool animated);
    float progressWidth() const { return m_progressWidth; }
    void setProgressWidth(float width);
    QString surplusFlowData() const { return m_surplusFlowData; }
    void setSurplusFlowData(const QString& text) { m_surplusFlowData = text; }
    QString surplusFlowUnit() const { return m_surplusFlowUnit; }
    void setSurplusFlowUnit(const QString& text) { m_surplusFlowUnit = text; }
    // Stroke colours of the track ring and the progress ring; neither shows until set.
    QColor trackColor() const { return m_trackColor; }
    void setTrackColor(const QColor& color);
    QColor progressColor() const { return m_progressColor; }
    void setProgressColor(const QColor& color);
    // Name of the background picture.
    QString bgView() const { return m_bgView; }
    ui::Label* labelFlow() const { return m_labelFlow; }

    // The dial's colour for a percentage.
    static QColor bandColor(float progress);

    // Draws the gauge into any canvas (the labels are subviews and draw themselves); also
    // brings the amount label up to date.
    void draw(Canvas& canvas, const QRectF& dirty);

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    void updateLabelFlow(const QColor& band);
    float m_progress = 0;
    float m_progressWidth = 5;
    QString m_surplusFlowData;
    QString m_surplusFlowUnit;
    QColor m_trackColor;
    QColor m_progressColor;
    QString m_bgView = QStringLiteral("bg_meter.png");
    QPointer<ui::Label> m_labelFlow;
};
