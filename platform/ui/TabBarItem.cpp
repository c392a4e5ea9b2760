#include "platform/ui/TabBarItem.h"

namespace ui {

TabBarItem::TabBarItem(QObject* parent) : QObject(parent) {}

TabBarItem::TabBarItem(const QString& title, const QImage& image, const QImage& selectedImage,
                       QObject* parent)
    : QObject(parent), m_title(title), m_image(image), m_selectedImage(selectedImage) {}

void TabBarItem::setTitle(const QString& title) {
    if (title == m_title) return;
    m_title = title;
    emit changed();
}

void TabBarItem::setImage(const QImage& image) {
    m_image = image;
    emit changed();
}

void TabBarItem::setSelectedImage(const QImage& image) {
    m_selectedImage = image;
    emit changed();
}

void TabBarItem::setFinishedSelectedImage(const QImage& selected,
                                          const QImage& withFinishedUnselectedImage) {
    m_finishedSelected = selected;
    m_finishedUnselected = withFinishedUnselectedImage;
    emit changed();
}

void TabBarItem::setRenderingMode(RenderingMode mode) {
    if (mode == m_mode) return;
    m_mode = mode;
    emit changed();
}

void TabBarItem::setEnabled(bool enabled) {
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    emit changed();
}

} // namespace ui
