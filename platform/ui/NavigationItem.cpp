#include "platform/ui/NavigationItem.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/View.h"

namespace ui {

NavigationItem::NavigationItem(QObject* parent) : QObject(parent) {}

NavigationItem::~NavigationItem() {
    delete m_titleView.data();
}

void NavigationItem::setTitle(const QString& title) {
    if (title == m_title) return;
    m_title = title;
    emit changed();
}

void NavigationItem::setTitleView(View* view) {
    if (view == m_titleView) return;
    View* old = m_titleView;
    m_titleView = view;
    emit changed();
    delete old;
}

void NavigationItem::adopt(BarButtonItem* item) {
    if (!item) return;
    if (!item->parent()) item->setParent(this);
    connect(item, &BarButtonItem::changed, this, &NavigationItem::changed, Qt::UniqueConnection);
}

void NavigationItem::drop(BarButtonItem* old, BarButtonItem* replacement) {
    if (!old || old == replacement) return;
    disconnect(old, &BarButtonItem::changed, this, &NavigationItem::changed);
    // Deferred: the old item may be the one whose touch is being handled.
    if (old->parent() == this && old != m_left && old != m_right && old != m_back)
        old->deleteLater();
}

void NavigationItem::setLeftBarButtonItem(BarButtonItem* item, bool animated) {
    Q_UNUSED(animated);
    if (item == m_left) return;
    BarButtonItem* old = m_left;
    adopt(item);
    m_left = item;
    drop(old, item);
    emit changed();
}

void NavigationItem::setRightBarButtonItem(BarButtonItem* item, bool animated) {
    Q_UNUSED(animated);
    if (item == m_right) return;
    BarButtonItem* old = m_right;
    adopt(item);
    m_right = item;
    drop(old, item);
    emit changed();
}

void NavigationItem::setBackBarButtonItem(BarButtonItem* item) {
    if (item == m_back) return;
    BarButtonItem* old = m_back;
    adopt(item);
    m_back = item;
    drop(old, item);
    emit changed();
}

void NavigationItem::setHidesBackButton(bool hides, bool animated) {
    Q_UNUSED(animated);
    if (hides == m_hidesBack) return;
    m_hidesBack = hides;
    emit changed();
}

} // namespace ui
