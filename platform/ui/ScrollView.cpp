#include "platform/ui/ScrollView.h"

#include "platform/ui/Animation.h"
#include "platform/ui/PanGestureRecognizer.h"

#include <QColor>
#include <QPointer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr double kRubberBand = 0.5;       // content moves half as far as the finger past an edge
constexpr double kMomentumSeconds = 0.35; // how far a released drag glides: velocity x this
constexpr double kMinGlideVelocity = 50;  // points per second
constexpr double kPageFlickVelocity = 300;
constexpr double kSettleSeconds = 0.3;
constexpr double kScrollSeconds = 0.3;
constexpr double kWheelPageTravel = 40; // one wheel notch, in points
constexpr double kIndicatorWidth = 2.5;
constexpr double kIndicatorInset = 3;

double rubber(double raw, double lo, double hi) {
    if (raw < lo) return lo + (raw - lo) * kRubberBand;
    if (raw > hi) return hi + (raw - hi) * kRubberBand;
    return raw;
}

double unrubber(double value, double lo, double hi) {
    if (value < lo) return lo + (value - lo) / kRubberBand;
    if (value > hi) return hi + (value - hi) / kRubberBand;
    return value;
}

QColor indicatorColor(ScrollView::IndicatorStyle style) {
    switch (style) {
    case ScrollView::IndicatorStyle::Black:
        return QColor(0, 0, 0, 128);
    case ScrollView::IndicatorStyle::White:
        return QColor(255, 255, 255, 128);
    default:
        return QColor(0, 0, 0, 90);
    }
}

bool near(const QPointF& a, const QPointF& b) {
    return std::abs(a.x() - b.x()) < 0.5 && std::abs(a.y() - b.y()) < 0.5;
}

} // namespace

// The scroll view's own finger: starts only in a direction the content can scroll.
class ScrollPan : public PanGestureRecognizer {
public:
    explicit ScrollPan(ScrollView* owner) : PanGestureRecognizer(owner), m_owner(owner) {}

protected:
    bool canBeginWithTranslation(const QPointF& t) const override {
        return m_owner->canBeginDragWith(t);
    }
    void began(const Touch& touch) override {
        PanGestureRecognizer::began(touch);
        m_owner->touchDown();
    }
    void ended(const Touch& touch) override {
        m_owner->touchUp();
        PanGestureRecognizer::ended(touch);
    }
    void cancelled() override {
        m_owner->touchUp();
        PanGestureRecognizer::cancelled();
    }

private:
    ScrollView* m_owner;
};

ScrollView::ScrollView(View* parent) : ScrollView(QRectF(), parent) {}

ScrollView::ScrollView(const QRectF& frame, View* parent) : View(frame, parent) {
    setClipsToBounds(true);
    auto* pan = new ScrollPan(this);
    m_pan = pan;
    pan->addTarget(this, [this](GestureRecognizer* g) {
        auto* p = static_cast<PanGestureRecognizer*>(g);
        switch (p->state()) {
        case GestureRecognizer::State::Began:
            // The content follows the finger from here on; the few points it took to tell a
            // drag from a tap are not made up for.
            p->setTranslation(QPointF(0, 0), this);
            panBegan();
            break;
        case GestureRecognizer::State::Changed:
            panChanged(p->translationInView(this));
            break;
        case GestureRecognizer::State::Ended:
            panChanged(p->translationInView(this));
            panEnded(p->velocityInView(this));
            break;
        case GestureRecognizer::State::Cancelled:
            panEnded(QPointF(0, 0));
            break;
        default:
            break;
        }
    });
    addGestureRecognizer(pan);
    for (View** ind : {&m_vIndicator, &m_hIndicator}) {
        *ind = new View(this);
        (*ind)->setBackgroundColor(indicatorColor(m_indicatorStyle));
        (*ind)->setCornerRadius(kIndicatorWidth / 2);
        (*ind)->setUserInteractionEnabled(false);
        (*ind)->setHidden(true);
    }
}

ScrollView::~ScrollView() {
    // Pending animation steps check the generation; make sure none runs on a dead view.
    ++m_generation;
}

QList<View*> ScrollView::subviews() const {
    QList<View*> out = View::subviews();
    out.removeIf([this](View* v) { return isInternalSubview(v); });
    return out;
}

bool ScrollView::isInternalSubview(const View* view) const {
    return view == m_vIndicator || view == m_hIndicator;
}

void ScrollView::setContentSize(const QSizeF& size) {
    m_contentSize = size;
    keepOffsetInRange();
    updateIndicators();
}

void ScrollView::setFrame(const QRectF& frame) {
    const bool resized = frame.size() != this->frame().size();
    View::setFrame(frame);
    if (!resized) return;
    keepOffsetInRange();
    updateIndicators();
}

void ScrollView::keepOffsetInRange() {
    // A finger or a glide owns the offset until it lets go; the glide's end settles it.
    if (m_dragging || m_animating || m_decelerating) {
        m_rangeChangedWhileMoving = true;
        return;
    }
    m_rangeChangedWhileMoving = false;
    const QPointF lo = minimumContentOffset(), hi = maximumContentOffset();
    const QPointF o = contentOffset();
    applyOffset(QPointF(std::clamp(o.x(), lo.x(), hi.x()), std::clamp(o.y(), lo.y(), hi.y())));
}

void ScrollView::setContentInset(const QMarginsF& inset) {
    m_inset = inset;
    updateIndicators();
}

void ScrollView::setScrollEnabled(bool on) {
    m_scrollEnabled = on;
    m_pan->setEnabled(on);
}

void ScrollView::setShowsVerticalScrollIndicator(bool on) {
    m_showsV = on;
    updateIndicators();
}

void ScrollView::setShowsHorizontalScrollIndicator(bool on) {
    m_showsH = on;
    updateIndicators();
}

void ScrollView::setIndicatorStyle(IndicatorStyle style) {
    m_indicatorStyle = style;
    for (View* indicator : {m_vIndicator, m_hIndicator})
        indicator->setBackgroundColor(indicatorColor(style));
}

QPointF ScrollView::minimumContentOffset() const {
    return {-m_inset.left(), -m_inset.top()};
}

QPointF ScrollView::maximumContentOffset() const {
    const QPointF lo = minimumContentOffset();
    const QSizeF s = frame().size();
    return {std::max(lo.x(), m_contentSize.width() + m_inset.right() - s.width()),
            std::max(lo.y(), m_contentSize.height() + m_inset.bottom() - s.height())};
}

bool ScrollView::canScrollHorizontally() const {
    return m_contentSize.width() + m_inset.left() + m_inset.right() > frame().width();
}

bool ScrollView::canScrollVertically() const {
    return m_contentSize.height() + m_inset.top() + m_inset.bottom() > frame().height();
}

bool ScrollView::canBeginDragWith(const QPointF& t) const {
    if (!m_scrollEnabled) return false;
    const double h = m_pan->hysteresis();
    return (std::abs(t.x()) >= h && canScrollHorizontally()) ||
           (std::abs(t.y()) >= h && canScrollVertically());
}

void ScrollView::applyOffset(const QPointF& offset) {
    if (offset == contentOffset()) return;
    setBoundsOrigin(offset);
    updateIndicators();
    didChangeOffset();
    if (ScrollViewDelegate* d = m_delegate.get()) d->scrollViewDidScroll(this);
}

void ScrollView::stopScrolling() {
    ++m_generation;
    m_animating = false;
    m_decelerating = false;
    m_rangeChangedWhileMoving = false;
    Animation::finish(this, QStringLiteral("contentOffset"));
}

void ScrollView::setContentOffset(const QPointF& offset) {
    stopScrolling();
    applyOffset(offset);
    updateIndicators();
}

void ScrollView::setContentOffset(const QPointF& offset, bool animated) {
    if (!animated) {
        setContentOffset(offset);
        return;
    }
    stopScrolling();
    if (near(offset, contentOffset())) {
        applyOffset(offset);
        return;
    }
    animateTo(offset, kScrollSeconds, false);
}

void ScrollView::animateTo(const QPointF& to, double duration, bool deceleration) {
    const quint64 gen = ++m_generation;
    const QPointF from = contentOffset();
    QPointer<ScrollView> self(this);
    if (deceleration)
        m_decelerating = true;
    else
        m_animating = true;
    updateIndicators();
    Animation::run(
        this, QStringLiteral("contentOffset"), duration,
        deceleration ? Animation::Curve::EaseOut : Animation::Curve::EaseInOut,
        [self, gen, from, to](double p) {
            if (!self || self->m_generation != gen) return;
            self->applyOffset(from + (to - from) * p);
        },
        [self, gen, deceleration](bool finished) {
            if (!self || self->m_generation != gen || !finished) return;
            self->m_animating = false;
            self->m_decelerating = false;
            if (self->m_rangeChangedWhileMoving) self->keepOffsetInRange();
            self->updateIndicators();
            if (ScrollViewDelegate* d = self->m_delegate.get()) {
                if (deceleration)
                    d->scrollViewDidEndDecelerating(self);
                else
                    d->scrollViewDidEndScrollingAnimation(self);
            }
        });
}

void ScrollView::touchDown() {
    m_tracking = true;
    // A finger on a gliding view catches it where it is.
    if (m_decelerating) stopScrolling();
}

void ScrollView::touchUp() {
    m_tracking = false;
}

void ScrollView::panBegan() {
    stopScrolling();
    const QPointF lo = minimumContentOffset(), hi = maximumContentOffset();
    const QPointF o = contentOffset();
    // Start from where the finger would be without the rubber band, so an offset already
    // past an edge does not jump.
    m_dragRawStart =
        m_bounces ? QPointF(unrubber(o.x(), lo.x(), hi.x()), unrubber(o.y(), lo.y(), hi.y())) : o;
    m_dragging = true;
    updateIndicators();
    if (ScrollViewDelegate* d = m_delegate.get()) d->scrollViewWillBeginDragging(this);
}

void ScrollView::panChanged(const QPointF& translation) {
    if (!m_dragging) return;
    const QPointF lo = minimumContentOffset(), hi = maximumContentOffset();
    QPointF o = contentOffset();
    const QPointF raw = m_dragRawStart - translation;
    auto axis = [&](double r, double l, double h) {
        return m_bounces ? rubber(r, l, h) : std::clamp(r, l, h);
    };
    if (canScrollHorizontally()) o.setX(axis(raw.x(), lo.x(), hi.x()));
    if (canScrollVertically()) o.setY(axis(raw.y(), lo.y(), hi.y()));
    applyOffset(o);
}

QPointF ScrollView::settleTarget(const QPointF& velocity) const {
    const QPointF lo = minimumContentOffset(), hi = maximumContentOffset();
    const QPointF o = contentOffset();
    QPointF t = o;
    auto settle = [&](double off, double v, double l, double h, double page, bool scrolls) {
        if (!scrolls) return off;
        if (m_paging && page > 0) {
            const double p = off / page;
            double target = std::round(p);
            if (v < -kPageFlickVelocity)
                target = std::floor(p) + 1;
            else if (v > kPageFlickVelocity)
                target = std::ceil(p) - 1;
            return std::clamp(target * page, l, h);
        }
        const double glide = std::abs(v) >= kMinGlideVelocity ? -v * kMomentumSeconds : 0;
        return std::clamp(off + glide, l, h);
    };
    t.setX(settle(o.x(), velocity.x(), lo.x(), hi.x(), frame().width(), canScrollHorizontally()));
    t.setY(settle(o.y(), velocity.y(), lo.y(), hi.y(), frame().height(), canScrollVertically()));
    return t;
}

void ScrollView::panEnded(const QPointF& velocity) {
    if (!m_dragging) return;
    m_dragging = false;
    QPointer<ScrollView> self(this);
    const bool willDecelerate = !near(settleTarget(velocity), contentOffset());
    const quint64 gen = m_generation;
    if (ScrollViewDelegate* d = m_delegate.get()) d->scrollViewDidEndDragging(this, willDecelerate);
    if (!self) return;
    if (!willDecelerate) {
        if (m_rangeChangedWhileMoving) keepOffsetInRange();
        updateIndicators();
        return;
    }
    m_decelerating = true;
    if (ScrollViewDelegate* d = m_delegate.get()) d->scrollViewWillBeginDecelerating(this);
    if (!self) return;
    // The delegate may have scrolled on its own (an animated scroll to a resting place):
    // then that scroll wins and the glide is over at once.
    const QPointF target = settleTarget(velocity);
    if (m_generation != gen || near(target, contentOffset())) {
        if (m_generation == gen) applyOffset(target);
        m_decelerating = false;
        updateIndicators();
        if (ScrollViewDelegate* d = m_delegate.get()) d->scrollViewDidEndDecelerating(this);
        return;
    }
    double duration = kSettleSeconds;
    const QPointF dist = target - contentOffset();
    const double speed = std::hypot(velocity.x(), velocity.y());
    if (!m_paging && speed >= kMinGlideVelocity) {
        // Start as fast as the finger left: an ease-out starts at twice its mean speed.
        duration = std::clamp(2 * std::hypot(dist.x(), dist.y()) / speed, 0.25, 1.0);
    }
    animateTo(target, duration, true);
}

void ScrollView::beginDragging() {
    m_driverTranslation = QPointF(0, 0);
    touchDown();
    panBegan();
}

void ScrollView::dragBy(const QPointF& delta) {
    m_driverTranslation += delta;
    panChanged(m_driverTranslation);
}

void ScrollView::endDragging(const QPointF& velocity) {
    touchUp();
    panEnded(velocity);
}

void ScrollView::wheelEvent(QWheelEvent* event) {
    if (!m_scrollEnabled) {
        event->ignore();
        return;
    }
    QPointF delta = event->pixelDelta().isNull() ? QPointF(event->angleDelta()) / 120.0 * 40.0
                                                 : QPointF(event->pixelDelta());
    if (!canScrollVertically() && canScrollHorizontally() && delta.x() == 0)
        delta = QPointF(delta.y(), 0);
    if (m_paging) {
        wheelPage(delta, event);
        return;
    }
    const QPointF lo = minimumContentOffset(), hi = maximumContentOffset();
    QPointF o = contentOffset() - delta;
    o = QPointF(canScrollHorizontally() ? std::clamp(o.x(), lo.x(), hi.x()) : contentOffset().x(),
                canScrollVertically() ? std::clamp(o.y(), lo.y(), hi.y()) : contentOffset().y());
    if (near(o, contentOffset())) {
        event->ignore();
        return;
    }
    event->accept();
    stopScrolling();
    applyOffset(o);
}

void ScrollView::wheelPage(const QPointF& delta, QWheelEvent* event) {
    // A paging view never rests between pages: a notch turns one page (a touchpad's run of
    // small steps adds up to one), and it settles as after a swipe.
    const bool horizontal = canScrollHorizontally() && !canScrollVertically();
    if (m_decelerating || m_animating || m_dragging) {
        m_wheelTravel = 0; // what arrives while a page turns does not queue another
        event->accept();
        return;
    }
    m_wheelTravel += horizontal ? delta.x() : delta.y();
    if (std::abs(m_wheelTravel) < kWheelPageTravel) {
        event->accept();
        return;
    }
    const int step = m_wheelTravel > 0 ? -1 : 1; // the wheel turned down shows the next page
    m_wheelTravel = 0;
    const QPointF o = contentOffset();
    const double page = horizontal ? frame().width() : frame().height();
    const double now = horizontal ? o.x() : o.y();
    const QPointF lo = minimumContentOffset(), hi = maximumContentOffset();
    double to = page > 0 ? (std::round(now / page) + step) * page : now;
    to = std::clamp(to, horizontal ? lo.x() : lo.y(), horizontal ? hi.x() : hi.y());
    const QPointF target = horizontal ? QPointF(to, o.y()) : QPointF(o.x(), to);
    if (near(target, o)) {
        event->ignore();
        return;
    }
    event->accept();
    animateTo(target, kSettleSeconds, true);
}

void ScrollView::resizeEvent(QResizeEvent* event) {
    View::resizeEvent(event);
    updateIndicators();
}

void ScrollView::updateIndicators() {
    if (!m_vIndicator) return;
    const bool moving = m_dragging || m_decelerating || m_animating;
    const QSizeF s = frame().size();
    const QPointF o = contentOffset();
    const double totalH = m_contentSize.height() + m_inset.top() + m_inset.bottom();
    const bool showV = moving && m_showsV && canScrollVertically() && s.height() > 0;
    m_vIndicator->setHidden(!showV);
    if (showV) {
        const double bar = std::max(7.0, s.height() * s.height() / totalH);
        const double range = maximumContentOffset().y() - minimumContentOffset().y();
        const double frac =
            range > 0 ? std::clamp((o.y() - minimumContentOffset().y()) / range, 0.0, 1.0) : 0;
        m_vIndicator->setFrame(QRectF(o.x() + s.width() - kIndicatorInset - kIndicatorWidth,
                                      o.y() + frac * (s.height() - bar), kIndicatorWidth, bar));
        m_vIndicator->raise();
    }
    const double totalW = m_contentSize.width() + m_inset.left() + m_inset.right();
    const bool showH = moving && m_showsH && canScrollHorizontally() && s.width() > 0;
    m_hIndicator->setHidden(!showH);
    if (showH) {
        const double bar = std::max(7.0, s.width() * s.width() / totalW);
        const double range = maximumContentOffset().x() - minimumContentOffset().x();
        const double frac =
            range > 0 ? std::clamp((o.x() - minimumContentOffset().x()) / range, 0.0, 1.0) : 0;
        m_hIndicator->setFrame(QRectF(o.x() + frac * (s.width() - bar),
                                      o.y() + s.height() - kIndicatorInset - kIndicatorWidth, bar,
                                      kIndicatorWidth));
        m_hIndicator->raise();
    }
}

} // namespace ui
