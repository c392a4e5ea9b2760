#pragma once

#include "platform/ui/Control.h"

#include <QImage>
#include <QMarginsF>
#include <map>

namespace ui {

class ImageView;
class Label;

// A button of the custom type: per-state titles, title colours, images and background
// images. A state without its own value shows, in order, the value of: Disabled (when
// disabled), Selected (when selected), Highlighted (when highlighted), Normal.
class Button : public Control {
    Q_OBJECT
public:
    enum class Type { Custom = 0, System = 1 };

    explicit Button(View* parent = nullptr);
    explicit Button(const QRectF& frame, View* parent = nullptr);
    static Button* buttonWithType(Type type, View* parent = nullptr);

    Type buttonType() const { return m_type; }

    void setTitle(const QString& title, unsigned state = Normal);
    void setTitleColor(const QColor& color, unsigned state = Normal);
    void setImage(const QImage& image, unsigned state = Normal);
    void setBackgroundImage(const QImage& image, unsigned state = Normal);
    // Values set for exactly that state (null/invalid when none).
    QString titleForState(unsigned state) const;
    QColor titleColorForState(unsigned state) const;
    QImage imageForState(unsigned state) const;
    QImage backgroundImageForState(unsigned state) const;

    // What the current state shows.
    QString currentTitle() const;
    QColor currentTitleColor() const;
    QImage currentImage() const;
    QImage currentBackgroundImage() const;

    // The label that shows the title: set its font here. Laid out in the button.
    Label* titleLabel() const { return m_titleLabel; }
    ImageView* imageView() const { return m_imageView; }

    QMarginsF contentEdgeInsets() const { return m_contentInsets; }
    void setContentEdgeInsets(const QMarginsF& insets);
    QMarginsF titleEdgeInsets() const { return m_titleInsets; }
    void setTitleEdgeInsets(const QMarginsF& insets);
    QMarginsF imageEdgeInsets() const { return m_imageInsets; }
    void setImageEdgeInsets(const QMarginsF& insets);

    // Darken the image while highlighted / lighten it while disabled, when that state has
    // no image of its own.
    bool adjustsImageWhenHighlighted() const { return m_adjustHighlighted; }
    void setAdjustsImageWhenHighlighted(bool on);
    bool adjustsImageWhenDisabled() const { return m_adjustDisabled; }
    void setAdjustsImageWhenDisabled(bool on);

    // Lays the title and image out now (also after every change and resize).
    void layoutSubviews() override;
    void setFrame(const QRectF& frame) override;
    QSizeF sizeThatFits(const QSizeF& size) const;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;
    void stateDidChange() override;

private:
    template <typename T> T lookup(const std::map<unsigned, T>& values, const T& none) const;
    void refresh();
    Type m_type = Type::Custom;
    std::map<unsigned, QString> m_titles;
    std::map<unsigned, QColor> m_titleColors;
    std::map<unsigned, QImage> m_images;
    std::map<unsigned, QImage> m_backgrounds;
    Label* m_titleLabel = nullptr;
    ImageView* m_imageView = nullptr;
    QMarginsF m_contentInsets;
    QMarginsF m_titleInsets;
    QMarginsF m_imageInsets;
    bool m_adjustHighlighted = true;
    bool m_adjustDisabled = true;
};

} // namespace ui
