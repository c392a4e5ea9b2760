#include "platform/ui/TabBar.h"

#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/TabBarItem.h"

#include <QMouseEvent>
#include <QPainter>

namespace ui {

namespace {
constexpr double kImageSide = 30;
constexpr double kImageTop = 4;
constexpr double kTitleTop = 35;
constexpr double kTitleFont = 10;

QImage tinted(const QImage& image, const QColor& color) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(out.rect(), color);
    return out;
}
} // namespace

TabBar::TabBar(View* parent) : View(QRectF(0, 0, 320, kHeight), parent) {}

QList<TabBarItem*> TabBar::items() const {
    QList<TabBarItem*> out;
    for (const auto& item : m_items)
        if (item) out.append(item);
    return out;
}

void TabBar::setItems(const QList<TabBarItem*>& items) {
    for (const auto& item : m_items)
        if (item) disconnect(item, nullptr, this, nullptr);
    m_items.clear();
    for (TabBarItem* item : items) {
        m_items.append(item);
        if (item) connect(item, &TabBarItem::changed, this, [this] { update(); });
    }
    if (m_selected >= m_items.size()) m_selected = m_items.isEmpty() ? -1 : 0;
    update();
}

TabBarItem* TabBar::selectedItem() const {
    return m_selected >= 0 && m_selected < m_items.size() ? m_items.at(m_selected).data() : nullptr;
}

void TabBar::setSelectedIndex(int index) {
    if (index < -1 || index >= m_items.size()) return;
    m_selected = index;
    update();
}

void TabBar::setBarTintColor(const QColor& c) {
    m_barTint = c;
    update();
}

void TabBar::setSelectedImageTintColor(const QColor& c) {
    m_selectedTint = c;
    update();
}

QRectF TabBar::itemRect(int index) const {
    const int n = int(m_items.size());
    if (index < 0 || index >= n) return {};
    const double w = frame().width() / n;
    return {w * index, 0, w, frame().height()};
}

int TabBar::indexAt(const QPointF& point) const {
    for (int i = 0; i < m_items.size(); ++i)
        if (itemRect(i).contains(point)) return i;
    return -1;
}

void TabBar::touchItem(int index) {
    if (index < 0 || index >= m_items.size()) return;
    if (TabBarItem* item = m_items.at(index); item && !item->isEnabled()) return;
    if (m_handler)
        m_handler(index);
    else
        setSelectedIndex(index);
}

void TabBar::mousePressEvent(QMouseEvent* event) {
    m_pressed = indexAt(event->position());
}

void TabBar::mouseReleaseEvent(QMouseEvent* event) {
    const int index = indexAt(event->position());
    const int pressed = m_pressed;
    m_pressed = -1;
    if (index >= 0 && index == pressed) touchItem(index);
}

void TabBar::drawRect(QPainter& painter, const QRectF& rect) {
    painter.fillRect(rect, m_barTint);
    painter.fillRect(QRectF(0, 0, rect.width(), 0.5), QColor(0, 0, 0, 77));
    const QFont font = Font::systemFontOfSize(kTitleFont);
    painter.setFont(font);
    for (int i = 0; i < m_items.size(); ++i) {
        TabBarItem* item = m_items.at(i);
        if (!item) continue;
        const QRectF r = itemRect(i);
        const bool selected = i == m_selected;
        const QColor color = selected ? m_selectedTint : m_unselected;
        const bool finished = item->hasFinishedImages();
        QImage image =
            selected && !item->selectedImage().isNull() ? item->selectedImage() : item->image();
        if (finished)
            image = selected ? item->finishedSelectedImage() : item->finishedUnselectedImage();
        if (!image.isNull()) {
            if (!finished && item->renderingMode() == TabBarItem::RenderingMode::Template)
                image = tinted(image, color);
            QSizeF size = imageSize(image);
            if (size.width() > kImageSide || size.height() > kImageSide)
                size.scale(kImageSide, kImageSide, Qt::KeepAspectRatio);
            const QRectF target(r.center().x() - size.width() / 2,
                                kImageTop + (kImageSide - size.height()) / 2, size.width(),
                                size.height());
            painter.drawImage(target, image);
        }
        if (!item->title().isEmpty()) {
            painter.setPen(color);
            painter.drawText(QRectF(r.x(), kTitleTop, r.width(), r.height() - kTitleTop),
                             Qt::AlignHCenter | Qt::AlignTop, item->title());
        }
    }
}

} // namespace ui
