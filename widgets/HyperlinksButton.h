#pragma once

#include "platform/ui/Button.h"

class Canvas;

// A button whose title is underlined like a link, in a colour of its own.
class HyperlinksButton : public ui::Button {
    Q_OBJECT
public:
    using Button::Button;

    void setColor(const QColor& color);
    QColor lineColor() const { return m_lineColor; }
    // The underline: from the title's left to its right edge, one point below its descender.
    void drawUnderline(Canvas& canvas) const;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    QColor m_lineColor;
};
