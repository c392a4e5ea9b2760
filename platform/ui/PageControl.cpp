#include "platform/ui/PageControl.h"

#include <QPainter>

namespace ui {

namespace {
constexpr double kDot = 7;
constexpr double kPitch = 16; // dot plus the gap to the next
} // namespace

PageControl::PageControl(View* parent) : PageControl(QRectF(), parent) {}

PageControl::PageControl(const QRectF& frame, View* parent) : Control(frame, parent) {}

void PageControl::setNumberOfPages(int pages) {
    m_pages = std::max(0, pages);
    m_current = std::clamp(m_current, 0, std::max(0, m_pages - 1));
    update();
}

void PageControl::setCurrentPage(int page) {
    m_current = std::clamp(page, 0, std::max(0, m_pages - 1));
    update();
}

void PageControl::setHidesForSinglePage(bool on) {
    m_hidesForSingle = on;
    update();
}

void PageControl::setPageIndicatorTintColor(const QColor& color) {
    m_dotColor = color;
    update();
}

void PageControl::setCurrentPageIndicatorTintColor(const QColor& color) {
    m_currentColor = color;
    update();
}

QSizeF PageControl::sizeForNumberOfPages(int pageCount) {
    if (pageCount <= 0) return {0, 0};
    return {(pageCount - 1) * kPitch + kDot, 37};
}

QRectF PageControl::dotRect(int index) const {
    const QRectF b = bounds();
    const double width = sizeForNumberOfPages(m_pages).width();
    const double x = b.x() + (b.width() - width) / 2 + index * kPitch;
    return {x, b.y() + (b.height() - kDot) / 2, kDot, kDot};
}

void PageControl::drawRect(QPainter& painter, const QRectF&) {
    if (m_pages == 0 || (m_hidesForSingle && m_pages == 1)) return;
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < m_pages; ++i) {
        painter.setBrush(i == m_current ? m_currentColor : m_dotColor);
        painter.drawEllipse(dotRect(i));
    }
}

void PageControl::endTracking(const QPointF& point) {
    if (m_pages == 0 || !bounds().contains(point)) return;
    const QRectF dot = dotRect(m_current);
    int next = m_current;
    if (point.x() < dot.left())
        next = m_current - 1;
    else if (point.x() > dot.right())
        next = m_current + 1;
    next = std::clamp(next, 0, m_pages - 1);
    if (next == m_current) return;
    m_current = next;
    update();
    sendActionsForControlEvents(ValueChanged);
}

} // namespace ui
