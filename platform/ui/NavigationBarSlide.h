#pragma once

#include <QImage>
#include <QList>
#include <QPointer>
#include <QRectF>

namespace ui {

class View;

// The bars a screen is laid out with: its stack's bar across its top, its tab container's bar
// across its foot.
struct ScreenBars {
    bool top = false;
    bool bottom = false;
};

// One screen of a navigation stack sliding over another (a push) or off it (a pop), and which
// bar belongs to which of the two meanwhile. A bar that only one of them has is drawn as part of
// that screen: a picture of it rides at the screen's edge, just above it and below the other
// screen, while the bar itself is hidden and its place given to the screens. A bar both have
// stays where it is. Neither screen changes size while it slides.
class NavigationBarSlide {
public:
    // outgoing: the bars the screen going away rests with; topBar is drawn now, with that
    // screen's items.
    NavigationBarSlide(ScreenBars outgoing, View* topBar);
    ~NavigationBarSlide();
    NavigationBarSlide(const NavigationBarSlide&) = delete;
    NavigationBarSlide& operator=(const NavigationBarSlide&) = delete;

    // The bars of the screen coming in, once it is set up (it may change the bar as it loads).
    void setIncoming(ScreenBars incoming) { m_incoming = incoming; }
    bool topRides() const { return m_outgoing.top != m_incoming.top; }
    bool bottomRides() const { return m_outgoing.bottom != m_incoming.bottom; }

    // Lays both screens and the riding bars out in host, which by now covers the riding bars'
    // places, and puts them at the slide's start.
    void start(View* host, View* outgoing, View* incoming, bool push, View* topBar,
               View* bottomBar);
    // Everything at progress t (0 to 1).
    void step(double t) const;

private:
    struct Rider {
        QPointer<View> picture;
        QRectF rest;
        bool withOutgoing;
    };
    QRectF restFrame(ScreenBars bars) const;
    void addRider(const QImage& picture, bool atTop, bool withOutgoing);

    ScreenBars m_outgoing, m_incoming;
    QImage m_topBefore;
    double m_topHeight = 0, m_bottomHeight = 0;
    QRectF m_host;
    QPointer<View> m_hostView, m_outgoingView, m_incomingView;
    bool m_push = true;
    QList<Rider> m_riders;
};

} // namespace ui
