// The home page's advertising carousel.
#include "app/categories/MD5.h"
#include "app/core/PublicFunction.h"
#include "app/download/PCFile.h"
#include "app/download/netLoading.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/PageControl.h"
#include "screens/home/RootViewController.h"
#include "widgets/DDButton.h"

namespace {
constexpr QRectF kCarouselFrame(0, 110, 320, 136);
constexpr QRectF kPageControlFrame(0, 226, 320, 20);
constexpr double kDefaultHeight = 136;
// More adverts than anyone pages through; each costs a page of views and a picture, so a
// reply or cache of thousands would stall the start.
constexpr int kMaxAdverts = 50;

QString adCachePath() {
    return PCFile::fileCacheDir(QStringLiteral("AD.xml"));
}
QString imageCacheDirectory() {
    return PCFile::fileCacheDir(QStringLiteral("imageCache"));
}
// A page's picture is fetched or decoded only when the page comes near the view: fifty
// large adverts would otherwise all be decoded at the start.
const char* const kPendingPicture = "tavrix.pendingPicture";

void loadPicturesNearView(ui::ScrollView* strip) {
    const double x = strip->contentOffset().x();
    const double width = std::max(strip->frame().width(), 1.0);
    const QString cacheDir = imageCacheDirectory();
    for (ui::View* view : strip->subviews()) {
        auto* picture = qobject_cast<ui::ImageView*>(view);
        if (!picture) continue;
        const QVariant pending = picture->property(kPendingPicture);
        if (!pending.isValid()) continue;
        const QRectF frame = picture->frame();
        if (frame.right() <= x - width || frame.left() >= x + 2 * width) continue;
        picture->setProperty(kPendingPicture, QVariant());
        const QString url = pending.toString();
        netLoading::asynchronousLoadImage(picture, url, MD5::md5(url), cacheDir, picture->image());
    }
}

} // namespace

void RootViewController::buildCarousel(ui::View* root) {
    m_myScrollView = new ui::ScrollView(kCarouselFrame, root);
    m_myScrollView->setShowsHorizontalScrollIndicator(false);
    m_myScrollView->setShowsVerticalScrollIndicator(false);
    m_myScrollView->setBounces(false);
    m_myScrollView->setDelegate(this);
    m_pageControl = new ui::PageControl(kPageControlFrame, root);
    m_pageControl->addTarget(
        this, [this](ui::Control*) { pageChanged(); }, ui::Control::ValueChanged);
}

void RootViewController::requestOfAdvertismentSend() {
    sendRequest("Advert", {{"channel", "2"}}, true, [this](const QVariant& reply) {
        if (!reply.isValid()) return;
        const QVariant advert = reply.toMap().value("advert");
        if (!ns::Values::isList(advert)) return;
        // Each group of position 1 would replace the one before: the last one stays.
        const QVariantList groups = advert.toList();
        for (auto it = groups.crbegin(); it != groups.crend(); ++it) {
            if (!ns::Values::isMap(*it)) continue;
            QVariantMap map = it->toMap();
            if (ns::Values::integerValue(map.value("position")) != 1) continue;
            const QVariant list = map.value("list");
            if (ns::Values::isList(list)) map.insert("list", list.toList().mid(0, kMaxAdverts));
            ns::PropertyList::writeFile(adCachePath(), map);
            showADWith(loadADData(map));
            return;
        }
    });
}

QList<FileDO> RootViewController::loadADData(const QVariantMap& group, bool* ok) {
    const QVariant list = group.value("list");
    if (ok) *ok = ns::Values::isList(list);
    QList<FileDO> items;
    if (!ns::Values::isList(list)) return items;
    for (const QVariant& element : list.toList().mid(0, kMaxAdverts))
        items.append(FileDO::initWithDict(element.toMap()));
    return items;
}

void RootViewController::loadADCache() {
    const QVariant cached = ns::PropertyList::readFile(adCachePath());
    showADWith(ns::Values::isMap(cached) ? loadADData(cached.toMap()) : QList<FileDO>());
}

void RootViewController::showADWith(const QList<FileDO>& items) {
    const int n = int(items.size());
    m_rootAdCount = n;
    // Whatever was shown goes, and so does the advance of an earlier, longer list.
    m_advance.cancel();
    for (ui::View* page : m_myScrollView->subviews())
        delete page;
    const double y = m_myScrollView->contentOffset().y();
    if (n == 0) {
        auto* placeholder =
            new ui::ImageView(QRectF(0, 0, kPageWidth, kDefaultHeight), m_myScrollView);
        placeholder->setImage(ui::imageNamed("ad_default"));
        m_myScrollView->setContentSize(QSizeF(kPageWidth, kDefaultHeight));
        m_myScrollView->setContentOffset(QPointF(0, y));
        m_myScrollView->setScrollEnabled(false);
        m_pageControl->setNumberOfPages(1);
        m_pageControl->setCurrentPage(0);
        return;
    }
    const QSizeF size = m_myScrollView->frame().size();
    const QImage placeholder = ui::imageNamed("ad_default");
    for (int k = 0; k < n + 2; ++k) {
        const FileDO& item = k == 0 ? items.last() : k == n + 1 ? items.first() : items[k - 1];
        const QRectF frame(QPointF(kPageWidth * k, 0), size);
        auto* picture = new ui::ImageView(frame, m_myScrollView);
        picture->setImage(placeholder);
        picture->setProperty(kPendingPicture, item.strPath);
        auto* button = new DDButton(frame, m_myScrollView);
        button->setUserInfo(QVariant::fromValue(item));
        button->addTarget(
            this, [this](ui::Control* sender) { adButtonPressed(sender); },
            ui::Control::TouchUpInside);
    }
    m_myScrollView->setContentSize(QSizeF(kPageWidth * (n + 2), 0));
    m_myScrollView->setContentOffset(QPointF(kPageWidth, y));
    m_myScrollView->setScrollEnabled(n > 1);
    m_pageControl->setNumberOfPages(n);
    m_pageControl->setCurrentPage(0);
    m_pageControl->setBackgroundColor(Qt::transparent);
    loadPicturesNearView(m_myScrollView);
    if (n >= 2) m_advance.start(0, this, [this] { switchFocusImageItems(); });
}

QList<DDButton*> RootViewController::adButtons() const {
    QList<DDButton*> buttons;
    for (ui::View* view : m_myScrollView->subviews())
        if (auto* button = qobject_cast<DDButton*>(view)) buttons.append(button);
    return buttons;
}

double RootViewController::nextPagePosition() const {
    const double width = m_myScrollView->frame().width();
    return std::trunc((m_myScrollView->contentOffset().x() + width) / kPageWidth) * kPageWidth;
}

void RootViewController::switchFocusImageItems() {
    m_advance.cancel();
    moveToTargetPosition(nextPagePosition());
    m_advance.start(kAdvanceMs, this, [this] { switchFocusImageItems(); });
}

void RootViewController::pageChanged() {
    m_advance.cancel();
    moveToTargetPosition(nextPagePosition());
    if (m_rootAdCount >= 2) m_advance.start(0, this, [this] { switchFocusImageItems(); });
}

void RootViewController::moveToTargetPosition(double x) {
    m_myScrollView->setContentOffset(QPointF(x, m_myScrollView->contentOffset().y()), true);
}

void RootViewController::carouselDidScroll() {
    const int n = m_rootAdCount;
    if (n < 1) return;
    const double y = m_myScrollView->contentOffset().y();
    const double x = m_myScrollView->contentOffset().x();
    if (x >= kPageWidth * (n + 1))
        m_myScrollView->setContentOffset(QPointF(kPageWidth, y));
    else if (x <= 0)
        m_myScrollView->setContentOffset(QPointF(kPageWidth * n, y));
    const int p =
        int(std::trunc((m_myScrollView->contentOffset().x() + kPageWidth / 2) / kPageWidth));
    const int pages = m_pageControl->numberOfPages();
    if (p > pages)
        m_pageControl->setCurrentPage(0);
    else if (p < 1)
        m_pageControl->setCurrentPage(pages - 1);
    else
        m_pageControl->setCurrentPage(p - 1);
    loadPicturesNearView(m_myScrollView);
}

void RootViewController::adButtonPressed(QObject* sender) {
    auto* button = qobject_cast<DDButton*>(sender);
    if (!button || !button->userInfo().canConvert<FileDO>()) return;
    const FileDO item = button->userInfo().value<FileDO>();
    if (!PublicFunction::isEmpty(item.forNative) && item.forNative == QLatin1String("1"))
        pushScene(item.storyBoardName, item.viewName, true);
    else
        pushWebPage(item.strLinkURL, item.strDescribeName);
}
