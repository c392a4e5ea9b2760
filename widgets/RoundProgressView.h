#pragma once

#include "platform/ui/View.h"

#include <QColor>

// A progress value drawn as a pie (filled from twelve o'clock, clockwise) or, when annular, as
// a ring over a faint full track. Setting any of its properties redraws it.
class RoundProgressView : public ui::View {
    Q_OBJECT
public:
    static constexpr double kDefaultSide = 37;

    explicit RoundProgressView(ui::View* parent = nullptr);
    explicit RoundProgressView(const QRectF& frame, ui::View* parent = nullptr);

    float progress() const { return m_progress; }
    void setProgress(float progress);
    QColor progressTintColor() const { return m_progressTintColor; }
    void setProgressTintColor(const QColor& color);
    QColor backgroundTintColor() const { return m_backgroundTintColor; }
    void setBackgroundTintColor(const QColor& color);
    bool isAnnular() const { return m_annular; }
    void setAnnular(bool annular);

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    void drawPie(QPainter& painter) const;
    void drawRing(QPainter& painter) const;

    float m_progress = 0;
    QColor m_progressTintColor = QColor::fromRgbF(1, 1, 1, 1);
    QColor m_backgroundTintColor = QColor::fromRgbF(1, 1, 1, 0.1f);
    bool m_annular = false;
};
