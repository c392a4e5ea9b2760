#pragma once

#include "platform/ui/GestureRecognizer.h"

#include <deque>

namespace ui {

// A drag: begins once the finger has moved hysteresis points, then reports every move and
// the release. Velocity is measured over the last 100 ms of moves on ns::Clock.
class PanGestureRecognizer : public GestureRecognizer {
    Q_OBJECT
public:
    explicit PanGestureRecognizer(QObject* parent = nullptr);

    // Movement from where the finger went down (or from the point set by setTranslation).
    QPointF translationInView(const View* view) const;
    void setTranslation(const QPointF& translation, const View* view);
    // Points per second.
    QPointF velocityInView(const View* view) const;

    double hysteresis() const { return m_hysteresis; }
    void setHysteresis(double points) { m_hysteresis = std::max(0.0, points); }

protected:
    // Whether a movement of translation may start the gesture (a scroll view asks whether
    // it can scroll that way).
    virtual bool canBeginWithTranslation(const QPointF& translation) const;
    void began(const Touch& touch) override;
    void moved(const Touch& touch) override;
    void ended(const Touch& touch) override;
    void didReset() override;

private:
    void sample(const Touch& touch);
    QPointF m_start;
    QPointF m_velocity;
    std::deque<std::pair<qint64, QPointF>> m_samples;
    double m_hysteresis = 10;
};

} // namespace ui
