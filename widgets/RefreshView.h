#pragma once

#include "platform/foundation/Weak.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/View.h"
#include "widgets/RefreshViewDelegate.h"

#include <QImage>
#include <QPointer>

class SpinnerView;

// The pull-to-refresh header above the top of a scroll view. Its owner stays the scroll
// view's delegate and forwards four calls; the header changes its texts and arrow while the
// user pulls, tells its delegate once when the user lets go far enough, and shows a spinner
// from startLoading until stopLoading.
class RefreshView : public ui::View {
    Q_OBJECT
public:
    // The header's place in the owner: just above the content's top edge.
    static constexpr double kHeight = 50;
    // An offset of -50 or less (the whole header uncovered) refreshes when let go.
    static constexpr double kThreshold = -50;
    // The arrow's turn while letting go would refresh (the literal, not pi).
    static constexpr double kFlippedArrow = 3.14;

    // Builds the header with its spinner, two labels and arrow.
    explicit RefreshView(View* parent = nullptr);
    explicit RefreshView(const QRectF& frame, View* parent = nullptr);

    SpinnerView* refreshIndicator() const { return m_refreshIndicator; }
    ui::Label* refreshStatusLabel() const { return m_refreshStatusLabel; }
    ui::Label* refreshLastUpdatedTimeLabel() const { return m_refreshLastUpdatedTimeLabel; }
    ui::ImageView* refreshArrowImageView() const { return m_refreshArrowImageView; }
    bool isLoading() const { return m_isLoading; }
    void setIsLoading(bool on) { m_isLoading = on; }
    bool isDragging() const { return m_isDragging; }
    void setIsDragging(bool on) { m_isDragging = on; }
    ui::ScrollView* owner() const { return m_owner; }
    void setOwner(ui::ScrollView* owner) { m_owner = owner; }
    RefreshViewDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(RefreshViewDelegate* delegate) { m_delegate.reset(delegate); }
    // The arrow's current rotation in radians.
    double arrowRotation() const { return m_arrowRotation; }

    // Puts the header into the owner, behind its content, at (0, -50, 320, 50).
    void setupWithOwner(ui::ScrollView* owner, RefreshViewDelegate* delegate);
    void startLoading();
    void stopLoading();

    // The owner forwards these from its scroll view.
    void scrollViewWillBeginDragging(ui::ScrollView* scrollView);
    void scrollViewDidScroll(ui::ScrollView* scrollView);
    void scrollViewDidEndDragging(ui::ScrollView* scrollView, bool willDecelerate);
    void scrollViewWillBeginDecelerating(ui::ScrollView* scrollView);

private:
    void buildContent();
    double offsetOf(const ui::ScrollView* scrollView) const;
    void setArrowRotation(double radians);
    void animateArrow(double to, bool whileDragging);
    // Gives the owner back the inset it had before any pull.
    void releaseInset();

    QPointer<SpinnerView> m_refreshIndicator;
    QPointer<ui::Label> m_refreshStatusLabel;
    QPointer<ui::Label> m_refreshLastUpdatedTimeLabel;
    QPointer<ui::ImageView> m_refreshArrowImageView;
    bool m_isLoading = false;
    bool m_isDragging = false;
    QPointer<ui::ScrollView> m_owner;
    ns::Weak<RefreshViewDelegate> m_delegate;
    double m_arrowRotation = 0;
    QImage m_arrow;
};
