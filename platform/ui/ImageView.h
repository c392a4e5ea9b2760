#pragma once

#include "platform/ui/View.h"

#include <QImage>

namespace ui {

// The platform's numbering.
enum class ContentMode {
    ScaleToFill = 0,
    ScaleAspectFit = 1,
    ScaleAspectFill = 2,
    Redraw = 3,
    Center = 4,
    Top = 5,
    Bottom = 6,
    Left = 7,
    Right = 8,
    TopLeft = 9,
    TopRight = 10,
    BottomLeft = 11,
    BottomRight = 12,
};

// Where an image of size lands in bounds under a content mode.
QRectF contentRect(ContentMode mode, const QSizeF& imageSize, const QRectF& bounds);

// Shows an image. Ignores touches unless user interaction is switched on.
class ImageView : public View {
    Q_OBJECT
public:
    explicit ImageView(View* parent = nullptr);
    explicit ImageView(const QRectF& frame, View* parent = nullptr);
    explicit ImageView(const QImage& image, View* parent = nullptr); // frame = image size

    QImage image() const { return m_image; }
    void setImage(const QImage& image);
    QImage highlightedImage() const { return m_highlightedImage; }
    void setHighlightedImage(const QImage& image);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);
    ContentMode contentMode() const { return m_mode; }
    void setContentMode(ContentMode mode);

    // The image on show (the highlighted one while highlighted, when there is one).
    QImage displayedImage() const;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    QImage m_image;
    QImage m_highlightedImage;
    bool m_highlighted = false;
    ContentMode m_mode = ContentMode::ScaleToFill;
};

} // namespace ui
