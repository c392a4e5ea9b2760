#include "widgets/RefreshView.h"

#include "platform/foundation/DateFormat.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "widgets/RefreshViewDelegate.h"
#include "widgets/SpinnerView.h"

#include <QTransform>

namespace {
const QString kPullText = QStringLiteral("下拉可以刷新...");
const QString kReleaseText = QStringLiteral("松开即刷新...");
const QString kLoadingText = QStringLiteral("加载中...");
const QString kUpdatedPrefix = QStringLiteral("最后更新: ");
const QString kArrowKey = QStringLiteral("arrow");
} // namespace

RefreshView::RefreshView(View* parent) : View(QRectF(0, 0, 320, kHeight), parent) {
    buildContent();
}

RefreshView::RefreshView(const QRectF& frame, View* parent) : View(frame, parent) {
    buildContent();
}

void RefreshView::buildContent() {
    m_refreshStatusLabel = new ui::Label(QRectF(0, 8, 320, 18), this);
    m_refreshStatusLabel->setFont(ui::Font::boldSystemFontOfSize(13));
    m_refreshStatusLabel->setTextColor(QColor(87, 108, 137));
    m_refreshStatusLabel->setTextAlignment(ui::TextAlignment::Center);
    m_refreshStatusLabel->setText(kPullText);

    m_refreshLastUpdatedTimeLabel = new ui::Label(QRectF(0, 28, 320, 16), this);
    m_refreshLastUpdatedTimeLabel->setFont(ui::Font::systemFontOfSize(12));
    m_refreshLastUpdatedTimeLabel->setTextColor(QColor(87, 108, 137));
    m_refreshLastUpdatedTimeLabel->setTextAlignment(ui::TextAlignment::Center);

    m_arrow = ui::imageNamed(QStringLiteral("refresh_arrow"));
    m_refreshArrowImageView = new ui::ImageView(QRectF(25, 5, 20, 40), this);
    m_refreshArrowImageView->setContentMode(ui::ContentMode::ScaleAspectFit);
    m_refreshArrowImageView->setImage(m_arrow);

    m_refreshIndicator = new SpinnerView(SpinnerView::Style::Gray, this);
    m_refreshIndicator->setCenter(QPointF(35, 25));
}

void RefreshView::setupWithOwner(ui::ScrollView* owner, RefreshViewDelegate* delegate) {
    m_owner = owner;
    m_delegate.reset(delegate);
    if (owner) owner->insertSubviewAtIndex(this, 0);
    setFrame(QRectF(0, -kHeight, 320, kHeight));
    if (m_refreshIndicator) m_refreshIndicator->stopAnimating();
}

double RefreshView::offsetOf(const ui::ScrollView* scrollView) const {
    return scrollView ? scrollView->contentOffset().y() : 0;
}

void RefreshView::setArrowRotation(double radians) {
    m_arrowRotation = radians;
    if (!m_refreshArrowImageView || m_arrow.isNull()) return;
    const QImage turned = radians == 0 ? m_arrow
                                       : m_arrow.transformed(QTransform().rotateRadians(radians),
                                                             Qt::SmoothTransformation);
    m_refreshArrowImageView->setImage(turned);
}

void RefreshView::animateArrow(double to, bool whileDragging) {
    if (to == m_arrowRotation && !ui::Animation::isRunning(this, kArrowKey)) return;
    const double from = m_arrowRotation;
    auto step = [this, from, to](double p) { setArrowRotation(from + (to - from) * p); };
    // Systems from 7 on spring while the user drags; older ones run a plain half second.
    if (whileDragging && ns::DeviceInfo::isSystemVersionAtLeast(7.0f))
        ui::Animation::runSpring(this, kArrowKey, 1.0, 1.0, 1.0, step);
    else
        ui::Animation::run(this, kArrowKey, whileDragging ? 0.5 : 0.3,
                           ui::Animation::Curve::EaseInOut, step);
}

void RefreshView::startLoading() {
    m_isLoading = true;
    if (m_refreshStatusLabel) m_refreshStatusLabel->setText(kLoadingText);
    if (m_refreshArrowImageView) m_refreshArrowImageView->setHidden(true);
    if (m_refreshIndicator) m_refreshIndicator->startAnimating();
}

void RefreshView::releaseInset() {
    if (m_owner && m_owner->contentInset() != QMarginsF()) m_owner->setContentInset(QMarginsF());
}

void RefreshView::stopLoading() {
    m_isLoading = false;
    // The refresh no longer holds the header open: at rest none of it stays in the owner's
    // scroll range, or the next clamp of the offset (a push that hides the tab bar resizes
    // the page) would pull the header back into view.
    releaseInset();
    if (m_owner) m_owner->setContentOffset(QPointF(0, 0), true);
    animateArrow(0, false);
    if (m_refreshLastUpdatedTimeLabel)
        m_refreshLastUpdatedTimeLabel->setText(
            kUpdatedPrefix +
            ns::DateFormat::format(ns::DateFormat::now(), QStringLiteral("MM'-'dd HH':'mm':'ss")));
    if (m_refreshStatusLabel) m_refreshStatusLabel->setText(kPullText);
    if (m_refreshArrowImageView) m_refreshArrowImageView->setHidden(false);
    if (m_refreshIndicator) m_refreshIndicator->stopAnimating();
}

void RefreshView::scrollViewWillBeginDragging(ui::ScrollView*) {
    if (!m_isLoading) m_isDragging = true;
}

void RefreshView::scrollViewDidScroll(ui::ScrollView* scrollView) {
    const double offset = offsetOf(scrollView);
    // Back at or past its top, the content uncovers nothing of the header, so the inset a
    // pull left goes (a pull let go short of the threshold ends here).
    if (offset >= 0 && !m_isLoading) releaseInset();
    if (offset > 0) return;
    if (m_isLoading) {
        // Keep the uncovered part of the header in place while the content moves.
        if (offset > kThreshold && m_owner) m_owner->setContentInset(QMarginsF(0, -offset, 0, 0));
        return;
    }
    if (!m_isDragging) return;
    if (offset <= kThreshold) {
        if (m_refreshStatusLabel) m_refreshStatusLabel->setText(kReleaseText);
        animateArrow(kFlippedArrow, true);
    } else {
        if (m_refreshStatusLabel) m_refreshStatusLabel->setText(kPullText);
        animateArrow(0, true);
        if (m_owner) m_owner->setContentInset(QMarginsF(0, -offset, 0, 0));
    }
}

void RefreshView::scrollViewDidEndDragging(ui::ScrollView* scrollView, bool) {
    if (m_isLoading) {
        if (m_owner) m_owner->setContentOffset(QPointF(0, kThreshold), true);
        return;
    }
    m_isDragging = false;
    const double offset = offsetOf(scrollView);
    if (offset > 0) return;
    if (offset <= kThreshold) {
        if (RefreshViewDelegate* d = m_delegate.get()) d->refreshViewDidCallBack();
    } else if (m_owner) {
        m_owner->setContentOffset(QPointF(0, 0), true);
    }
}

void RefreshView::scrollViewWillBeginDecelerating(ui::ScrollView* scrollView) {
    const double offset = offsetOf(scrollView);
    if (offset < 0 && offset > kThreshold && m_owner)
        m_owner->setContentOffset(QPointF(0, 0), true);
}
