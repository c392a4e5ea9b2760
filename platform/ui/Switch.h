#pragma once

#include "platform/ui/Control.h"

namespace ui {

// An on/off switch (51 x 31 points; the older system's is 79 x 27). A tap flips it and sends
// ValueChanged; setting it from code sends nothing.
class Switch : public Control {
    Q_OBJECT
public:
    explicit Switch(View* parent = nullptr);
    explicit Switch(const QRectF& frame, View* parent = nullptr);

    bool isOn() const { return m_on; }
    void setOn(bool on) { setOn(on, false); }
    void setOn(bool on, bool animated);
    QColor onTintColor() const { return m_onTint; }
    void setOnTintColor(const QColor& color);
    QColor thumbTintColor() const { return m_thumbTint; }
    void setThumbTintColor(const QColor& color);
    // The thumb's travel from off (0) to on (1); moves during the animation.
    double thumbPosition() const { return m_position; }

    // The switch's own size, whatever frame it is given.
    static QSizeF defaultSize();
    void setFrame(const QRectF& frame) override;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;
    void endTracking(const QPointF& point) override;

private:
    bool m_on = false;
    double m_position = 0;
    QColor m_onTint = QColor(76, 217, 100);
    QColor m_thumbTint = Qt::white;
};

} // namespace ui
