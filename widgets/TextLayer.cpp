#include "widgets/TextLayer.h"

#include "widgets/QPainterCanvas.h"

#include <QPainter>

TextLayer::TextLayer(View* parent) : View(parent) {
    setUserInteractionEnabled(false);
}

void TextLayer::setString(const QString& text) {
    if (text == m_string) return;
    m_string = text;
    update();
}

void TextLayer::setFontSize(double size) {
    m_fontSize = size;
    update();
}

void TextLayer::setForegroundColor(const QColor& color) {
    m_foregroundColor = color;
    update();
}

void TextLayer::setAlignmentMode(const QString& mode) {
    m_alignmentMode = mode;
    update();
}

void TextLayer::drawRect(QPainter& painter, const QRectF& rect) {
    if (m_string.isEmpty()) return;
    Qt::Alignment align = Qt::AlignLeft;
    if (m_alignmentMode == QLatin1String("center"))
        align = Qt::AlignHCenter;
    else if (m_alignmentMode == QLatin1String("right"))
        align = Qt::AlignRight;
    // Text sits at the top of the layer, as a text layer draws it.
    painter.setFont(QPainterCanvas::fontNamed(QString(), m_fontSize));
    painter.setPen(m_foregroundColor);
    painter.drawText(rect, int(align | Qt::AlignTop), m_string);
}
