#pragma once

#include "platform/ui/View.h"

#include <QColor>

// A progress value drawn as a rounded bar: an outlined track whose inside fills from the left.
// Setting any of its properties redraws it.
class BarProgressView : public ui::View {
    Q_OBJECT
public:
    static constexpr double kDefaultWidth = 120;
    static constexpr double kDefaultHeight = 20;

    explicit BarProgressView(ui::View* parent = nullptr);
    explicit BarProgressView(const QRectF& frame, ui::View* parent = nullptr);

    float progress() const { return m_progress; }
    void setProgress(float progress);
    QColor lineColor() const { return m_lineColor; }
    void setLineColor(const QColor& color);
    QColor progressRemainingColor() const { return m_progressRemainingColor; }
    void setProgressRemainingColor(const QColor& color);
    QColor progressColor() const { return m_progressColor; }
    void setProgressColor(const QColor& color);

    // The right edge, in points, up to which the inside is filled for the current progress; 0
    // when nothing is filled. A progress inside the left cap fills the whole cap.
    double filledRightEdge() const;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    float m_progress = 0;
    QColor m_lineColor = Qt::white;
    QColor m_progressRemainingColor = Qt::transparent;
    QColor m_progressColor = Qt::white;
};
