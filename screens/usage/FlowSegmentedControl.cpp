#include "screens/usage/FlowSegmentedControl.h"

#include "platform/ui/Font.h"

#include <QPainter>
#include <QPainterPath>

FlowSegmentedControl::FlowSegmentedControl(const QStringList& items, const QRectF& frame,
                                           View* parent)
    : Control(frame, parent), m_items(items), m_font(ui::Font::systemFontOfSize(13)) {}

void FlowSegmentedControl::setSelectedSegmentIndex(int index) {
    m_selected = index >= 0 && index < m_items.size() ? index : -1;
    update();
}

void FlowSegmentedControl::setTintColor(const QColor& color) {
    m_tint = color;
    update();
}

void FlowSegmentedControl::setFont(const QFont& font) {
    m_font = font;
    update();
}

int FlowSegmentedControl::segmentAt(const QPointF& point) const {
    const QRectF b = bounds();
    if (m_items.isEmpty() || !b.contains(point)) return -1;
    const int index = int((point.x() - b.x()) / (b.width() / m_items.size()));
    return std::min(index, int(m_items.size()) - 1);
}

void FlowSegmentedControl::endTracking(const QPointF& point) {
    const int index = segmentAt(point);
    if (index < 0 || index == m_selected) return;
    m_selected = index;
    update();
    sendActionsForControlEvents(ValueChanged);
}

void FlowSegmentedControl::drawRect(QPainter& painter, const QRectF&) {
    if (m_items.isEmpty()) return;
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF b = bounds().adjusted(0.5, 0.5, -0.5, -0.5);
    const double w = b.width() / m_items.size();
    QPainterPath outline;
    outline.addRoundedRect(b, 3, 3);
    painter.setClipPath(outline);
    painter.setFont(m_font);
    for (int i = 0; i < m_items.size(); ++i) {
        const QRectF segment(b.x() + i * w, b.y(), w, b.height());
        if (i == m_selected) painter.fillRect(segment, m_tint);
        painter.setPen(i == m_selected ? Qt::white : m_tint);
        painter.drawText(segment, Qt::AlignCenter, m_items[i]);
        if (i > 0) {
            painter.setPen(QPen(m_tint, 1));
            painter.drawLine(segment.topLeft(), segment.bottomLeft());
        }
    }
    painter.setClipping(false);
    painter.setPen(QPen(m_tint, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);
}
