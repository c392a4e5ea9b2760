#pragma once

#include "platform/foundation/Weak.h"
#include "platform/ui/View.h"

#include <QMarginsF>
#include <QPointF>
#include <QSizeF>

namespace ui {

class PanGestureRecognizer;
class ScrollView;

class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate() = default;
    virtual void scrollViewDidScroll(ScrollView*) {}
    virtual void scrollViewWillBeginDragging(ScrollView*) {}
    virtual void scrollViewDidEndDragging(ScrollView*, bool /*willDecelerate*/) {}
    virtual void scrollViewWillBeginDecelerating(ScrollView*) {}
    virtual void scrollViewDidEndDecelerating(ScrollView*) {}
    virtual void scrollViewDidEndScrollingAnimation(ScrollView*) {}
};

// A view whose subviews lie on a content plane that the user drags. The content offset is
// the content point at the view's top-left: it is signed (pulling down past the top gives a
// negative y) and its resting range is widened by the content inset. Mouse drags act as a
// finger: past the edges the content follows at half the rate when it bounces; on release it
// glides on, settles back inside its range, or snaps to a page when paging.
class ScrollView : public View {
    Q_OBJECT
public:
    explicit ScrollView(View* parent = nullptr);
    explicit ScrollView(const QRectF& frame, View* parent = nullptr);
    ~ScrollView() override;

    // The colour of the scroll indicators: the default grey, black, or white for dark content.
    enum class IndicatorStyle { Default = 0, Black = 1, White = 2 };

    QSizeF contentSize() const { return m_contentSize; }
    // A content or view size that leaves the offset past an end brings it back into range
    // (once a drag or glide in progress is over).
    void setContentSize(const QSizeF& size);
    void setFrame(const QRectF& frame) override;
    QPointF contentOffset() const { return bounds().topLeft(); }
    // Stops any running scroll (animated or gliding) and moves at once.
    void setContentOffset(const QPointF& offset);
    // Animated: moves over 0.3 s and reports scrollViewDidEndScrollingAnimation when it
    // arrives (not when a later scroll interrupts it).
    void setContentOffset(const QPointF& offset, bool animated);
    // QMarginsF(left, top, right, bottom).
    QMarginsF contentInset() const { return m_inset; }
    void setContentInset(const QMarginsF& inset);

    bool isScrollEnabled() const { return m_scrollEnabled; }
    void setScrollEnabled(bool on);
    bool isPagingEnabled() const { return m_paging; }
    void setPagingEnabled(bool on) { m_paging = on; }
    bool bounces() const { return m_bounces; }
    void setBounces(bool on) { m_bounces = on; }
    bool showsVerticalScrollIndicator() const { return m_showsV; }
    void setShowsVerticalScrollIndicator(bool on);
    bool showsHorizontalScrollIndicator() const { return m_showsH; }
    void setShowsHorizontalScrollIndicator(bool on);
    IndicatorStyle indicatorStyle() const { return m_indicatorStyle; }
    void setIndicatorStyle(IndicatorStyle style);

    bool isTracking() const { return m_tracking; }
    bool isDragging() const { return m_dragging; }
    bool isDecelerating() const { return m_decelerating; }

    ScrollViewDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(ScrollViewDelegate* delegate) { m_delegate.reset(delegate); }
    PanGestureRecognizer* panGestureRecognizer() const { return m_pan; }

    // The resting range of the offset.
    QPointF minimumContentOffset() const;
    QPointF maximumContentOffset() const;

    // A finger driven by code, through the same steps as the mouse: beginDragging() takes
    // hold, dragBy() moves the finger by a delta (positive y drags the content down),
    // endDragging() lets go with the finger's velocity in points per second.
    void beginDragging();
    void dragBy(const QPointF& delta);
    void endDragging(const QPointF& velocity = QPointF(0, 0));

    // Without the scroll indicators.
    QList<View*> subviews() const override;

protected:
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Hides views the scroll view keeps for itself from subviews().
    virtual bool isInternalSubview(const View* view) const;
    // Called after every change of the offset, before the delegate hears of it.
    virtual void didChangeOffset() {}

private:
    void wheelPage(const QPointF& delta, QWheelEvent* event);
    friend class ScrollPan;
    bool canScrollHorizontally() const;
    bool canScrollVertically() const;
    bool canBeginDragWith(const QPointF& translation) const;
    void touchDown();
    void touchUp();
    void panBegan();
    void panChanged(const QPointF& translation);
    void panEnded(const QPointF& velocity);
    QPointF settleTarget(const QPointF& velocity) const;
    void applyOffset(const QPointF& offset);
    void stopScrolling();
    void animateTo(const QPointF& to, double duration, bool deceleration);
    void updateIndicators();
    void keepOffsetInRange();

    QSizeF m_contentSize;
    QMarginsF m_inset;
    bool m_scrollEnabled = true;
    bool m_paging = false;
    bool m_bounces = true;
    bool m_showsV = true;
    bool m_showsH = true;
    bool m_tracking = false;
    bool m_dragging = false;
    bool m_decelerating = false;
    bool m_animating = false;
    bool m_rangeChangedWhileMoving = false;
    IndicatorStyle m_indicatorStyle = IndicatorStyle::Default;
    quint64 m_generation = 0;
    QPointF m_dragRawStart; // the unrubbered offset the drag started from
    QPointF m_driverTranslation;
    double m_wheelTravel = 0; // wheel travel towards the next page turn
    ns::Weak<ScrollViewDelegate> m_delegate;
    PanGestureRecognizer* m_pan = nullptr;
    View* m_vIndicator = nullptr;
    View* m_hIndicator = nullptr;
};

} // namespace ui
