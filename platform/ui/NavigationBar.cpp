#include "platform/ui/NavigationBar.h"

#include "platform/foundation/DeviceInfo.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"

#include <QPainter>
#include <QPainterPath>

namespace ui {

namespace {
constexpr double kMargin = 16;
constexpr double kBackMargin = 8;
constexpr double kButtonFont = 17;

// The back chevron drawn when no indicator image is set.
QImage drawnChevron(const QColor& color) {
    QImage img(QSize(13, 21), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(11, 2), QPointF(2.5, 10.5), QPointF(11, 19)}));
    return img;
}
// Before system 7 the tint colour is the bar's own colour, and its buttons are white on it.
bool tintIsBarColour() {
    return !ns::DeviceInfo::isSystemVersionAtLeast(7.0f);
}
} // namespace

NavigationBar::NavigationBar(View* parent) : View(QRectF(0, 0, 320, kHeight), parent) {
    m_titleFont = Font::boldSystemFontOfSize(17);
    auto* title = new Label(this);
    title->setTextAlignment(TextAlignment::Center);
    title->setFont(m_titleFont);
    title->setTextColor(m_titleColor);
    title->setUserInteractionEnabled(false);
    m_titleView = title;
    layoutSubviews();
}

NavigationBar::~NavigationBar() {
    // Custom views belong to their items; hand them back rather than deleting them with the bar.
    for (View* v : {m_leftCustom.data(), m_rightCustom.data()})
        if (v && v->superview() == this) v->removeFromSuperview();
    if (m_top && m_top->titleView() && m_top->titleView()->superview() == this)
        m_top->titleView()->removeFromSuperview();
}

void NavigationBar::setBarTintColor(const QColor& c) {
    m_barTint = c;
    update();
}

void NavigationBar::setTintColor(const QColor& c) {
    m_tint = c;
    rebuild();
}

void NavigationBar::setTitleTextColor(const QColor& c) {
    m_titleColor = c;
    if (auto* l = qobject_cast<Label*>(m_titleView.data())) l->setTextColor(c);
}

void NavigationBar::setTitleFont(const QFont& f) {
    m_titleFont = f;
    if (auto* l = qobject_cast<Label*>(m_titleView.data())) l->setFont(f);
}

void NavigationBar::setBackgroundImage(const QImage& image) {
    m_backgroundImage = image;
    update();
}

void NavigationBar::setBackIndicatorImage(const QImage& image) {
    m_backIndicator = image;
    rebuild();
}

void NavigationBar::setBarStyle(BarStyle style) {
    m_barStyle = style;
    update();
}

void NavigationBar::setItems(NavigationItem* top, NavigationItem* back,
                             const QString& fallbackTitle) {
    if (m_top) {
        disconnect(m_top, nullptr, this, nullptr);
        if (View* tv = m_top->titleView(); tv && tv->superview() == this) tv->removeFromSuperview();
    }
    if (m_backItem) disconnect(m_backItem, nullptr, this, nullptr);
    m_top = top;
    m_backItem = back;
    m_fallbackTitle = fallbackTitle;
    if (top) connect(top, &NavigationItem::changed, this, &NavigationBar::rebuild);
    if (back) connect(back, &NavigationItem::changed, this, &NavigationBar::rebuild);
    rebuild();
}

QString NavigationBar::displayedTitle() const {
    if (!m_top) return {};
    return m_top->title().isEmpty() ? m_fallbackTitle : m_top->title();
}

bool NavigationBar::isBackButtonShown() const {
    return m_backView != nullptr;
}

void NavigationBar::clearButtons() {
    // Custom views belong to their bar items: detach them, never delete them.
    const View* leftCustom = m_leftCustom.data();
    const View* rightCustom = m_rightCustom.data();
    for (View* v : {m_leftCustom.data(), m_rightCustom.data()})
        if (v && v->superview() == this) v->removeFromSuperview();
    m_leftCustom = nullptr;
    m_rightCustom = nullptr;
    // Deferred: the button being touched may be the one that changed the items.
    for (View* v : {m_leftView.data(), m_rightView.data(), m_backView.data()}) {
        if (!v || v == leftCustom || v == rightCustom) continue;
        v->setHidden(true);
        v->deleteLater();
    }
    m_leftView = m_rightView = m_backView = nullptr;
}

View* NavigationBar::makeButton(BarButtonItem* item, bool back) {
    auto* b = new Button(this);
    b->titleLabel()->setFont(back ? Font::systemFontOfSize(kButtonFont)
                                  : (item && item->style() == BarButtonItem::Style::Done
                                         ? Font::boldSystemFontOfSize(kButtonFont)
                                         : Font::systemFontOfSize(kButtonFont)));
    const QColor tint = tintIsBarColour() ? QColor(Qt::white) : m_tint;
    b->setTitleColor(tint);
    b->setTitleColor(tint.lighter(160), Control::Highlighted);
    if (back) {
        b->setImage(m_backIndicator.isNull() ? drawnChevron(tint) : m_backIndicator);
        QString title;
        if (m_backItem) {
            title = m_backItem->backBarButtonItem() ? m_backItem->backBarButtonItem()->title()
                                                    : m_backItem->title();
        }
        if (!title.isEmpty()) {
            b->setTitle(title);
            b->setTitleEdgeInsets(QMarginsF(6, 0, 0, 0));
        }
        QPointer<NavigationBar> self(this);
        b->addAction(Control::TouchUpInside, [self] {
            if (self && self->m_backAction) self->m_backAction();
        });
    } else {
        if (!item->image().isNull())
            b->setImage(item->image());
        else
            b->setTitle(item->title());
        b->setEnabled(item->isEnabled());
        QPointer<BarButtonItem> it(item);
        b->addAction(Control::TouchUpInside, [it] {
            if (it) it->trigger();
        });
    }
    QSizeF size = b->sizeThatFits(QSizeF());
    size.setWidth(std::min(size.width() + (back ? 6 : 0), 120.0));
    size.setHeight(std::max(size.height(), 30.0));
    b->setFrame(QRectF(QPointF(), size));
    return b;
}

void NavigationBar::rebuild() {
    clearButtons();
    if (m_top) {
        BarButtonItem* left = m_top->leftBarButtonItem();
        if (left) {
            if (View* custom = left->customView()) {
                addSubview(custom);
                m_leftCustom = custom;
                m_leftView = custom;
            } else {
                m_leftView = makeButton(left, false);
            }
        } else if (m_backItem && !m_top->hidesBackButton()) {
            m_backView = makeButton(nullptr, true);
        }
        if (BarButtonItem* right = m_top->rightBarButtonItem()) {
            if (View* custom = right->customView()) {
                addSubview(custom);
                m_rightCustom = custom;
                m_rightView = custom;
            } else {
                m_rightView = makeButton(right, false);
            }
        }
        if (auto* l = qobject_cast<Label*>(m_titleView.data())) {
            l->setText(displayedTitle());
            l->setHidden(m_top->titleView() != nullptr);
        }
        if (View* tv = m_top->titleView()) addSubview(tv);
    } else if (auto* l = qobject_cast<Label*>(m_titleView.data())) {
        l->setText(QString());
    }
    layoutSubviews();
    update();
}

void NavigationBar::layoutSubviews() {
    const double w = frame().width();
    const double band = kHeight - kStatusBarHeight;
    auto centreY = [&](double h) { return kStatusBarHeight + (band - h) / 2; };
    double leftEdge = kMargin, rightEdge = w - kMargin;
    if (m_backView) {
        QRectF f = m_backView->frame();
        f.moveTopLeft(QPointF(kBackMargin, centreY(f.height())));
        m_backView->setFrame(f);
        leftEdge = f.right() + 4;
    } else if (m_leftView) {
        QRectF f = m_leftView->frame();
        f.moveTopLeft(QPointF(kMargin, centreY(f.height())));
        m_leftView->setFrame(f);
        leftEdge = f.right() + 4;
    }
    if (m_rightView) {
        QRectF f = m_rightView->frame();
        f.moveTopLeft(QPointF(w - kMargin - f.width(), centreY(f.height())));
        m_rightView->setFrame(f);
        rightEdge = f.left() - 4;
    }
    // The title stays centred on the bar, narrowed evenly to clear the buttons.
    const double half = std::max(0.0, std::min(w / 2 - leftEdge, rightEdge - w / 2));
    if (m_titleView) m_titleView->setFrame(QRectF(w / 2 - half, kStatusBarHeight, 2 * half, band));
    if (m_top && m_top->titleView()) {
        View* tv = m_top->titleView();
        QRectF f = tv->frame();
        f.moveCenter(QPointF(w / 2, kStatusBarHeight + band / 2));
        tv->setFrame(f);
    }
}

void NavigationBar::drawRect(QPainter& painter, const QRectF& rect) {
    if (!m_backgroundImage.isNull()) {
        drawImage(painter, rect, m_backgroundImage);
    } else {
        QColor fill = tintIsBarColour() ? m_tint : m_barTint;
        if (m_barStyle == BarStyle::Black && !fill.isValid()) fill = Qt::black;
        painter.fillRect(rect, fill);
    }
    painter.fillRect(QRectF(0, rect.height() - 0.5, rect.width(), 0.5), QColor(0, 0, 0, 77));
}

} // namespace ui
