#include "platform/ui/BarButtonItem.h"

#include "platform/ui/View.h"

namespace ui {

BarButtonItem::BarButtonItem(const QString& title, Style style, std::function<void()> action,
                             QObject* parent)
    : QObject(parent), m_title(title), m_style(style), m_action(std::move(action)) {}

BarButtonItem::BarButtonItem(const QImage& image, Style style, std::function<void()> action,
                             QObject* parent)
    : QObject(parent), m_image(image), m_style(style), m_action(std::move(action)) {}

BarButtonItem::BarButtonItem(View* customView, QObject* parent)
    : QObject(parent), m_customView(customView) {}

BarButtonItem* BarButtonItem::systemItem(SystemItem item, QObject* parent) {
    auto* b = new BarButtonItem(QString(), Style::Plain, {}, parent);
    b->m_space = true;
    if (item == SystemItem::FixedSpace)
        b->m_width = 0;
    else
        b->m_width = -1; // flexible: takes what is left
    return b;
}

BarButtonItem::~BarButtonItem() {
    // The item owns its custom view wherever it is shown.
    delete m_customView.data();
}

void BarButtonItem::setTitle(const QString& title) {
    if (title == m_title) return;
    m_title = title;
    emit changed();
}

void BarButtonItem::setImage(const QImage& image) {
    m_image = image;
    emit changed();
}

void BarButtonItem::setStyle(Style style) {
    if (style == m_style) return;
    m_style = style;
    emit changed();
}

void BarButtonItem::setCustomView(View* view) {
    if (view == m_customView) return;
    View* old = m_customView;
    m_customView = view;
    emit changed();
    delete old;
}

void BarButtonItem::setWidth(double w) {
    m_width = w;
    emit changed();
}

void BarButtonItem::setEnabled(bool enabled) {
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    emit changed();
}

void BarButtonItem::trigger() {
    if (!m_enabled || m_space) return;
    auto action = m_action; // the action may replace itself
    if (action) action();
    emit triggered();
}

} // namespace ui
