#include "platform/ui/TableViewCell.h"

#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <QPainter>
#include <QPainterPath>

namespace ui {

namespace {
constexpr double kMargin = 15;
constexpr double kAccessoryWidth = 33;
} // namespace

TableViewCell::TableViewCell(Style style, const QString& reuseIdentifier, View* parent)
    : View(QRectF(0, 0, 320, 44), parent), m_style(style), m_reuseIdentifier(reuseIdentifier) {
    setBackgroundColor(Qt::white);
    m_contentView = new View(bounds(), this);
    m_imageView = new ImageView(m_contentView);
    m_textLabel = new Label(m_contentView);
    m_textLabel->setFont(Font::systemFontOfSize(style == Style::Subtitle ? 18 : 17));
    m_detailLabel = new Label(m_contentView);
    m_detailLabel->setFont(Font::systemFontOfSize(style == Style::Subtitle ? 12 : 17));
    m_detailLabel->setTextColor(style == Style::Value1 ? QColor(142, 142, 147) : Qt::black);
    if (style == Style::Value1) m_detailLabel->setTextAlignment(TextAlignment::Right);
    layoutSubviews();
}

void TableViewCell::setAccessoryType(AccessoryType type) {
    m_accessoryType = type;
    layoutSubviews();
    update();
}

void TableViewCell::setAccessoryView(View* view) {
    if (m_accessoryView == view) return;
    if (m_accessoryView) m_accessoryView->deleteLater();
    m_accessoryView = view;
    if (view) addSubview(view);
    layoutSubviews();
}

void TableViewCell::setSelectionStyle(SelectionStyle style) {
    m_selectionStyle = style;
    update();
}

void TableViewCell::setSelected(bool selected, bool) {
    m_selected = selected;
    m_textLabel->setHighlighted(selected && m_selectionStyle != SelectionStyle::None);
    update();
}

void TableViewCell::setHighlighted(bool highlighted, bool) {
    m_highlighted = highlighted;
    update();
}

void TableViewCell::prepareForReuse() {
    setSelected(false);
    setHighlighted(false);
}

void TableViewCell::setSeparator(bool shown, const QColor& color, double inset) {
    m_separator = shown;
    m_separatorColor = color;
    m_separatorInset = inset;
    update();
}

void TableViewCell::setFrame(const QRectF& frame) {
    const bool resized = frame.size() != this->frame().size();
    View::setFrame(frame);
    if (resized) layoutSubviews();
}

void TableViewCell::layoutSubviews() {
    if (!m_contentView) return;
    const QSizeF s = frame().size();
    double right = s.width();
    if (m_accessoryView) {
        const QSizeF a = m_accessoryView->frame().size();
        m_accessoryView->setFrame(QRectF(s.width() - kMargin - a.width(),
                                         (s.height() - a.height()) / 2, a.width(), a.height()));
        right = m_accessoryView->frame().x();
    } else if (m_accessoryType != AccessoryType::None) {
        right = s.width() - kAccessoryWidth;
    }
    m_contentView->setFrame(QRectF(0, 0, right, s.height()));
    double x = kMargin;
    const QImage img = m_imageView->image();
    if (!img.isNull()) {
        const QSizeF is = imageSize(img);
        m_imageView->setFrame(
            QRectF(kMargin, (s.height() - is.height()) / 2, is.width(), is.height()));
        x = kMargin + is.width() + kMargin;
    } else {
        m_imageView->setFrame(QRectF());
    }
    const double w = std::max(0.0, right - x - kMargin);
    switch (m_style) {
    case Style::Subtitle: {
        const double th = Font::lineHeight(m_textLabel->font());
        const double dh = Font::lineHeight(m_detailLabel->font());
        const double top = (s.height() - th - dh) / 2;
        m_textLabel->setFrame(QRectF(x, top, w, th));
        m_detailLabel->setFrame(QRectF(x, top + th, w, dh));
        break;
    }
    case Style::Value1:
    case Style::Value2:
        m_textLabel->setFrame(QRectF(x, 0, w / 2, s.height()));
        m_detailLabel->setFrame(QRectF(x + w / 2, 0, w / 2, s.height()));
        break;
    case Style::Default:
        m_textLabel->setFrame(QRectF(x, 0, w, s.height()));
        m_detailLabel->setFrame(QRectF());
        break;
    }
}

void TableViewCell::drawRect(QPainter& painter, const QRectF& rect) {
    if ((m_selected || m_highlighted) && m_selectionStyle != SelectionStyle::None)
        painter.fillRect(rect, m_selectionStyle == SelectionStyle::Blue ? QColor(0, 122, 255, 60)
                                                                        : QColor(217, 217, 217));
    const double right = rect.right();
    if (m_accessoryType == AccessoryType::DisclosureIndicator ||
        m_accessoryType == AccessoryType::DetailDisclosureButton) {
        const double cx = right - kMargin - 4, cy = rect.center().y();
        painter.setPen(QPen(QColor(199, 199, 204), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath chevron;
        chevron.moveTo(cx - 4, cy - 6.5);
        chevron.lineTo(cx + 2.5, cy);
        chevron.lineTo(cx - 4, cy + 6.5);
        painter.drawPath(chevron);
    } else if (m_accessoryType == AccessoryType::Checkmark) {
        const double cx = right - kMargin - 8, cy = rect.center().y();
        painter.setPen(QPen(QColor(0, 122, 255), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(cx - 6, cy);
        tick.lineTo(cx - 1.5, cy + 4.5);
        tick.lineTo(cx + 7, cy - 5);
        painter.drawPath(tick);
    }
    if (m_separator) {
        painter.setPen(QPen(m_separatorColor, 0.5));
        painter.drawLine(QPointF(rect.left() + m_separatorInset, rect.bottom() - 0.25),
                         QPointF(rect.right(), rect.bottom() - 0.25));
    }
}

} // namespace ui
