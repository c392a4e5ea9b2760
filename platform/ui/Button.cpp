#include "platform/ui/Button.h"

#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <QPainter>
#include <cmath>

namespace ui {

namespace {

// The look of a pressed or disabled image without a picture of its own.
QImage adjusted(const QImage& image, bool darken) {
    if (image.isNull()) return image;
    QImage out = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&out);
    if (darken) {
        p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        p.fillRect(QRectF(QPointF(0, 0), QSizeF(out.size())), QColor(0, 0, 0, 90));
    } else {
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.fillRect(QRectF(QPointF(0, 0), QSizeF(out.size())), QColor(0, 0, 0, 128));
    }
    p.end();
    for (const QString& key : image.textKeys())
        out.setText(key, image.text(key));
    out.setDevicePixelRatio(image.devicePixelRatio());
    return out;
}

} // namespace

Button::Button(View* parent) : Button(QRectF(), parent) {}

Button::Button(const QRectF& frame, View* parent) : Control(frame, parent) {
    m_imageView = new ImageView(this);
    m_imageView->setContentMode(ContentMode::ScaleToFill);
    m_titleLabel = new Label(this);
    m_titleLabel->setFont(Font::systemFontOfSize(15));
    m_titleLabel->setTextAlignment(TextAlignment::Center);
    m_titleLabel->setLineBreakMode(LineBreakMode::TruncatingMiddle);
    m_titleLabel->setTextColor(Qt::white);
    refresh();
}

Button* Button::buttonWithType(Type type, View* parent) {
    auto* b = new Button(parent);
    b->m_type = type;
    if (type == Type::System) b->setTitleColor(QColor(0, 122, 255));
    return b;
}

void Button::setTitle(const QString& title, unsigned state) {
    if (title.isNull())
        m_titles.erase(state);
    else
        m_titles[state] = title;
    refresh();
}

void Button::setTitleColor(const QColor& color, unsigned state) {
    if (!color.isValid())
        m_titleColors.erase(state);
    else
        m_titleColors[state] = color;
    refresh();
}

void Button::setImage(const QImage& image, unsigned state) {
    if (image.isNull())
        m_images.erase(state);
    else
        m_images[state] = image;
    refresh();
}

void Button::setBackgroundImage(const QImage& image, unsigned state) {
    if (image.isNull())
        m_backgrounds.erase(state);
    else
        m_backgrounds[state] = image;
    refresh();
}

template <typename T> T Button::lookup(const std::map<unsigned, T>& values, const T& none) const {
    const unsigned s = state();
    for (unsigned candidate : {s, s & Disabled, s & Selected, s & Highlighted}) {
        if (candidate == Normal) continue;
        if (auto it = values.find(candidate); it != values.end()) return it->second;
    }
    if (auto it = values.find(Normal); it != values.end()) return it->second;
    return none;
}

QString Button::titleForState(unsigned state) const {
    auto it = m_titles.find(state);
    return it == m_titles.end() ? QString() : it->second;
}

QColor Button::titleColorForState(unsigned state) const {
    auto it = m_titleColors.find(state);
    return it == m_titleColors.end() ? QColor() : it->second;
}

QImage Button::imageForState(unsigned state) const {
    auto it = m_images.find(state);
    return it == m_images.end() ? QImage() : it->second;
}

QImage Button::backgroundImageForState(unsigned state) const {
    auto it = m_backgrounds.find(state);
    return it == m_backgrounds.end() ? QImage() : it->second;
}

QString Button::currentTitle() const {
    return lookup(m_titles, QString());
}

QColor Button::currentTitleColor() const {
    return lookup(m_titleColors, QColor(Qt::white));
}

QImage Button::currentImage() const {
    return lookup(m_images, QImage());
}

QImage Button::currentBackgroundImage() const {
    return lookup(m_backgrounds, QImage());
}

void Button::setContentEdgeInsets(const QMarginsF& insets) {
    m_contentInsets = insets;
    refresh();
}

void Button::setTitleEdgeInsets(const QMarginsF& insets) {
    m_titleInsets = insets;
    refresh();
}

void Button::setImageEdgeInsets(const QMarginsF& insets) {
    m_imageInsets = insets;
    refresh();
}

void Button::setAdjustsImageWhenHighlighted(bool on) {
    m_adjustHighlighted = on;
    refresh();
}

void Button::setAdjustsImageWhenDisabled(bool on) {
    m_adjustDisabled = on;
    refresh();
}

void Button::stateDidChange() {
    refresh();
}

void Button::setFrame(const QRectF& frame) {
    const bool resized = frame.size() != this->frame().size();
    Control::setFrame(frame);
    if (resized) layoutSubviews();
}

void Button::refresh() {
    if (!m_titleLabel) return;
    const QString title = currentTitle();
    m_titleLabel->setText(title);
    m_titleLabel->setTextColor(currentTitleColor());
    m_titleLabel->setHidden(title.isEmpty());
    QImage img = currentImage();
    const unsigned s = state();
    if ((s & Highlighted) && m_adjustHighlighted && imageForState(s).isNull() &&
        imageForState(Highlighted).isNull())
        img = adjusted(img, true);
    else if ((s & Disabled) && m_adjustDisabled && imageForState(s).isNull() &&
             imageForState(Disabled).isNull())
        img = adjusted(img, false);
    m_imageView->setImage(img);
    m_imageView->setHidden(img.isNull());
    layoutSubviews();
    update();
}

void Button::layoutSubviews() {
    if (!m_titleLabel) return;
    const QRectF content = bounds().marginsRemoved(m_contentInsets);
    const QImage img = m_imageView->image();
    QSizeF isz = imageSize(img);
    if (isz.width() > content.width() || isz.height() > content.height()) {
        // An image larger than the button shrinks to fit, keeping its aspect.
        const double k = std::min(content.width() / std::max(1.0, isz.width()),
                                  content.height() / std::max(1.0, isz.height()));
        isz = isz * std::max(0.0, k);
    }
    QSizeF tsz(0, 0);
    if (!m_titleLabel->text().isEmpty()) {
        const QSizeF fit = m_titleLabel->sizeThatFits(QSizeF(0, 0));
        tsz = QSizeF(std::min(std::ceil(fit.width()), std::max(0.0, content.width() - isz.width())),
                     std::min(std::ceil(fit.height()), content.height()));
    }
    const double total = isz.width() + tsz.width();
    double x = content.x() + (content.width() - total) / 2;
    double dxImage = (m_imageInsets.left() - m_imageInsets.right()) / 2;
    double dxTitle = (m_titleInsets.left() - m_titleInsets.right()) / 2;
    switch (contentHorizontalAlignment()) {
    case ContentHorizontalAlignment::Left:
        x = content.x();
        dxImage = m_imageInsets.left();
        dxTitle = m_titleInsets.left();
        break;
    case ContentHorizontalAlignment::Right:
        x = content.right() - total;
        dxImage = -m_imageInsets.right();
        dxTitle = -m_titleInsets.right();
        break;
    default:
        break;
    }
    auto yFor = [&](double h, const QMarginsF& in, double* outH) {
        *outH = h;
        switch (contentVerticalAlignment()) {
        case ContentVerticalAlignment::Top:
            return content.y() + in.top();
        case ContentVerticalAlignment::Bottom:
            return content.bottom() - h - in.bottom();
        case ContentVerticalAlignment::Fill:
            *outH = std::max(0.0, content.height() - in.top() - in.bottom());
            return content.y() + in.top();
        default:
            return content.y() + (content.height() - h) / 2 + (in.top() - in.bottom()) / 2;
        }
    };
    double ih = 0, th = 0;
    const double iy = yFor(isz.height(), m_imageInsets, &ih);
    const double ty = yFor(tsz.height(), m_titleInsets, &th);
    if (contentHorizontalAlignment() == ContentHorizontalAlignment::Fill && tsz.isEmpty()) {
        m_imageView->setFrame(QRectF(content.x() + m_imageInsets.left(), iy,
                                     content.width() - m_imageInsets.left() - m_imageInsets.right(),
                                     ih));
    } else {
        m_imageView->setFrame(QRectF(x + dxImage, iy, isz.width(), ih));
    }
    m_titleLabel->setFrame(QRectF(x + isz.width() + dxTitle, ty, tsz.width(), th));
}

QSizeF Button::sizeThatFits(const QSizeF&) const {
    const QSizeF isz = imageSize(m_imageView->image());
    QSizeF tsz =
        m_titleLabel->text().isEmpty() ? QSizeF(0, 0) : m_titleLabel->sizeThatFits(QSizeF(0, 0));
    QSizeF s(isz.width() + std::ceil(tsz.width()), std::max(isz.height(), std::ceil(tsz.height())));
    s = s.grownBy(m_contentInsets);
    const QSizeF bg = imageSize(currentBackgroundImage());
    return s.expandedTo(bg);
}

void Button::drawRect(QPainter& painter, const QRectF& rect) {
    QImage bg = currentBackgroundImage();
    if (bg.isNull()) return;
    const unsigned s = state();
    if ((s & Highlighted) && m_adjustHighlighted && backgroundImageForState(s).isNull() &&
        backgroundImageForState(Highlighted).isNull())
        bg = adjusted(bg, true);
    else if ((s & Disabled) && m_adjustDisabled && backgroundImageForState(Disabled).isNull())
        bg = adjusted(bg, false);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    drawImage(painter, rect, bg);
    painter.restore();
}

} // namespace ui
