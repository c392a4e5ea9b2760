#pragma once

#include <QImage>
#include <QObject>
#include <QString>

namespace ui {

// One tab's face in the tab bar: title, image and selected image.
class TabBarItem : public QObject {
    Q_OBJECT
public:
    // Template images take the bar's colours; original images are drawn as they are.
    enum class RenderingMode { Template, Original };

    explicit TabBarItem(QObject* parent = nullptr);
    TabBarItem(const QString& title, const QImage& image, const QImage& selectedImage,
               QObject* parent = nullptr);

    QString title() const { return m_title; }
    void setTitle(const QString& title);
    QImage image() const { return m_image; }
    void setImage(const QImage& image);
    QImage selectedImage() const { return m_selectedImage; }
    void setSelectedImage(const QImage& image);
    // The older system's pictures, drawn as they are; when set they stand in for the image and
    // the selected image.
    QImage finishedSelectedImage() const { return m_finishedSelected; }
    QImage finishedUnselectedImage() const { return m_finishedUnselected; }
    void setFinishedSelectedImage(const QImage& selected,
                                  const QImage& withFinishedUnselectedImage);
    bool hasFinishedImages() const {
        return !m_finishedSelected.isNull() || !m_finishedUnselected.isNull();
    }
    RenderingMode renderingMode() const { return m_mode; }
    void setRenderingMode(RenderingMode mode);
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

signals:
    void changed();

private:
    QString m_title;
    QImage m_image;
    QImage m_selectedImage;
    QImage m_finishedSelected;
    QImage m_finishedUnselected;
    RenderingMode m_mode = RenderingMode::Template;
    int m_tag = 0;
    bool m_enabled = true;
};

} // namespace ui
