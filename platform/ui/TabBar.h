#pragma once

#include "platform/ui/TabBarItem.h"
#include "platform/ui/View.h"

#include <QList>
#include <QPointer>
#include <functional>

namespace ui {

class TabBarItem;

// The 49-point bar of tabs at the bottom of the screen. Touching an item reports its index;
// the owner decides whether it becomes selected.
class TabBar : public View {
    Q_OBJECT
public:
    static constexpr double kHeight = 49;

    explicit TabBar(View* parent = nullptr);

    QList<TabBarItem*> items() const;
    void setItems(const QList<TabBarItem*>& items);
    int selectedIndex() const { return m_selected; }
    TabBarItem* selectedItem() const;
    void setSelectedIndex(int index);

    QColor barTintColor() const { return m_barTint; }
    void setBarTintColor(const QColor& c);
    // The colour of the selected item's title and template image.
    QColor selectedImageTintColor() const { return m_selectedTint; }
    void setSelectedImageTintColor(const QColor& c);
    QColor unselectedColor() const { return m_unselected; }

    QRectF itemRect(int index) const;
    int indexAt(const QPointF& point) const;
    // What a touch on the item does; also what tests call.
    void touchItem(int index);
    void setTouchHandler(std::function<void(int)> handler) { m_handler = std::move(handler); }

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QList<QPointer<TabBarItem>> m_items;
    int m_selected = -1;
    int m_pressed = -1;
    QColor m_barTint = QColor(247, 247, 247);
    QColor m_selectedTint = QColor(0, 122, 255);
    QColor m_unselected = QColor(146, 146, 146);
    std::function<void(int)> m_handler;
};

} // namespace ui
