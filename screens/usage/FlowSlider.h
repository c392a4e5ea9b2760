#pragma once

#include "platform/ui/View.h"

#include <QString>

// A horizontal slider that shows a share from 0 to 1: the minimum track up to the thumb, the
// maximum track after it, and the thumb. The rows only show figures with it, so it takes no
// touches; values outside [0, 1] (and a share that is not a number) are clamped.
class FlowSlider : public ui::View {
    Q_OBJECT
public:
    explicit FlowSlider(const QRectF& frame, View* parent = nullptr);

    float value() const { return m_value; }
    void setValue(float value);
    QString minimumTrackImage() const { return m_minimumTrack; }
    void setMinimumTrackImage(const QString& name);
    QString maximumTrackImage() const { return m_maximumTrack; }
    void setMaximumTrackImage(const QString& name);
    QString thumbImage() const { return m_thumb; }
    void setThumbImage(const QString& name);

    // Where the thumb's centre stands, in the slider's coordinates.
    double thumbCentreX() const;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    float m_value = 0;
    QString m_minimumTrack;
    QString m_maximumTrack;
    QString m_thumb;
};
