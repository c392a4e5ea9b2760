#include "widgets/HyperlinksButton.h"

#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "widgets/QPainterCanvas.h"

void HyperlinksButton::setColor(const QColor& color) {
    m_lineColor = color;
    update();
}

void HyperlinksButton::drawUnderline(Canvas& canvas) const {
    const QRectF title = titleLabel()->frame();
    const double y = title.y() + title.height() + ui::Font::descender(titleLabel()->font()) + 1;
    // Without a colour the line is drawn in the context's default.
    if (m_lineColor.isValid()) canvas.setStrokeColor(m_lineColor);
    canvas.moveTo(QPointF(title.x(), y));
    canvas.addLineTo(QPointF(title.x() + title.width(), y));
    canvas.strokePath();
}

void HyperlinksButton::drawRect(QPainter& painter, const QRectF& rect) {
    Button::drawRect(painter, rect);
    QPainterCanvas canvas(painter);
    drawUnderline(canvas);
}
