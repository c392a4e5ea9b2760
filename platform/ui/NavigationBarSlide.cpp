#include "platform/ui/NavigationBarSlide.h"

#include "platform/ui/View.h"

#include <QPainter>

namespace ui {

namespace {
// How far the lower screen moves while the upper one slides over it.
constexpr double kParallax = 0.3;

class BarPicture : public View {
public:
    BarPicture(const QImage& picture, View* parent) : View(parent), m_picture(picture) {
        setUserInteractionEnabled(false);
    }

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override {
        painter.drawImage(rect, m_picture);
    }

private:
    QImage m_picture;
};

QImage pictureOf(View* bar) {
    // Drawn even while hidden: a bar that comes with the incoming screen is still hidden here.
    return bar->renderToImage(bar->devicePixelRatioF());
}
} // namespace

NavigationBarSlide::NavigationBarSlide(ScreenBars outgoing, View* topBar)
    : m_outgoing(outgoing), m_incoming(outgoing) {
    if (outgoing.top && topBar) m_topBefore = pictureOf(topBar);
}

NavigationBarSlide::~NavigationBarSlide() {
    for (const Rider& rider : m_riders)
        delete rider.picture.data();
}

QRectF NavigationBarSlide::restFrame(ScreenBars bars) const {
    const double top = topRides() && bars.top ? m_topHeight : 0;
    const double bottom = bottomRides() && bars.bottom ? m_bottomHeight : 0;
    return {0, top, m_host.width(), m_host.height() - top - bottom};
}

void NavigationBarSlide::addRider(const QImage& picture, bool atTop, bool withOutgoing) {
    const QRectF page = restFrame(withOutgoing ? m_outgoing : m_incoming);
    const double height = atTop ? m_topHeight : m_bottomHeight;
    auto* view = new BarPicture(picture, m_hostView);
    // Under the screen sliding over, unless it is that screen's own.
    View* upper = m_push ? m_incomingView : m_outgoingView;
    if (withOutgoing == m_push) m_hostView->insertSubviewBelow(view, upper);
    m_riders.append({view,
                     QRectF(0, atTop ? page.top() - height : page.bottom(), m_host.width(), height),
                     withOutgoing});
}

void NavigationBarSlide::start(View* host, View* outgoing, View* incoming, bool push, View* topBar,
                               View* bottomBar) {
    m_hostView = host;
    m_host = host->bounds();
    m_outgoingView = outgoing;
    m_incomingView = incoming;
    m_push = push;
    m_topHeight = topBar ? topBar->frame().height() : 0;
    m_bottomHeight = bottomBar ? bottomBar->frame().height() : 0;
    if (topRides() && topBar)
        addRider(m_outgoing.top ? m_topBefore : pictureOf(topBar), true, m_outgoing.top);
    if (bottomRides() && bottomBar) addRider(pictureOf(bottomBar), false, m_outgoing.bottom);
    step(0);
}

void NavigationBarSlide::step(double t) const {
    const double w = m_host.width();
    const double inX = m_push ? w * (1 - t) : -w * kParallax * (1 - t);
    const double outX = m_push ? -w * kParallax * t : w * t;
    if (m_incomingView) m_incomingView->setFrame(restFrame(m_incoming).translated(inX, 0));
    if (m_outgoingView) m_outgoingView->setFrame(restFrame(m_outgoing).translated(outX, 0));
    for (const Rider& rider : m_riders)
        if (rider.picture)
            rider.picture->setFrame(rider.rest.translated(rider.withOutgoing ? outX : inX, 0));
}

} // namespace ui
