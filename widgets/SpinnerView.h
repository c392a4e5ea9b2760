#pragma once

#include "platform/foundation/Clock.h"
#include "platform/ui/View.h"

class Canvas;

// An activity spinner: twelve spokes turning while animating, in white (large, 37 points) or
// grey (small, 20 points). It can hide itself while stopped.
class SpinnerView : public ui::View {
    Q_OBJECT
public:
    enum class Style { WhiteLarge = 0, White = 1, Gray = 2 };

    explicit SpinnerView(Style style = Style::WhiteLarge, View* parent = nullptr);

    Style style() const { return m_style; }
    void setStyle(Style style);
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    bool hidesWhenStopped() const { return m_hidesWhenStopped; }
    void setHidesWhenStopped(bool on);

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return m_animating; }
    // The spoke drawn brightest, 0 to 11; it moves on while animating.
    int phase() const { return m_phase; }

    void draw(Canvas& canvas) const;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    Style m_style;
    QColor m_color;
    bool m_hidesWhenStopped = true;
    bool m_animating = false;
    int m_phase = 0;
    ns::DelayedCall m_tick;
};
