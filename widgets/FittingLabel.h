#pragma once

#include "platform/ui/Label.h"

#include <QColor>
#include <QPointF>

// A label that may shrink its font until the whole text fits its bounds, and may draw a
// shadow under its text (the status overlay's text).
class FittingLabel : public ui::Label {
    Q_OBJECT
public:
    // Below this the text is no longer read; what still does not fit is cut at the bounds.
    static constexpr int kMinimumFontSize = 6;

    explicit FittingLabel(const QRectF& frame, View* parent = nullptr);

    bool adjustsFontSizeToFitWidth() const { return m_adjusts; }
    void setAdjustsFontSizeToFitWidth(bool on);
    // Invalid: no shadow.
    QColor shadowColor() const { return m_shadowColor; }
    void setShadowColor(const QColor& color);
    QPointF shadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(const QPointF& offset);

    // The font the text is drawn in within the current bounds.
    QFont fittedFont() const;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    bool fits(const QFont& font, const QSizeF& size) const;

    bool m_adjusts = false;
    QColor m_shadowColor;
    QPointF m_shadowOffset;
};
