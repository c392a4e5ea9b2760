#pragma once

#include "platform/foundation/Clock.h"
#include "platform/ui/View.h"

// The overlay's busy indicator: twelve white spokes whose brightest one steps round clockwise
// while animating. It steps on the platform clock, so a manual clock drives it in tests.
class OverlayHUDSpinner : public ui::View {
    Q_OBJECT
public:
    static constexpr double kSide = 37;
    static constexpr int kSpokes = 12;
    static constexpr qint64 kStepMs = 83; // one turn a second

    explicit OverlayHUDSpinner(ui::View* parent = nullptr);

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return m_animating; }
    // The spoke drawn brightest, 0 at twelve o'clock.
    int headSpoke() const { return m_head; }

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    ns::DelayedCall m_step;
    bool m_animating = false;
    int m_head = 0;
};
