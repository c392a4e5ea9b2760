#include "platform/ui/TouchInput.h"

#include "platform/foundation/Clock.h"
#include "platform/ui/Control.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/View.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <vector>

namespace ui {

namespace {

struct Sequence {
    bool active = false;
    QPointer<View> view;                                  // the view touched
    QPointer<QWidget> receiver;                           // the widget that got the mouse press
    std::vector<QPointer<GestureRecognizer>> recognizers; // deepest first
    bool swallow = false; // a gesture took the touch from the control
    QPointF base;         // window position of the view's origin when touched
    // The press on the clock and in the window system's own time, so later touches keep the
    // pace the finger had however late they are handled (a busy client handles a drag's moves
    // in one burst; their speed is in their timestamps).
    qint64 pressMs = 0;
    quint64 pressStamp = 0;
};

Sequence g_seq;

View* viewFor(QWidget* w) {
    for (; w; w = w->parentWidget())
        if (auto* v = qobject_cast<View*>(w)) return v;
    return nullptr;
}

Control* controlFor(QWidget* w) {
    for (; w; w = w->parentWidget())
        if (auto* c = qobject_cast<Control*>(w)) return c;
    return nullptr;
}

void finish() {
    for (const auto& r : g_seq.recognizers)
        if (r) r->reset();
    g_seq = Sequence{};
}

// After a recogniser moved on: the first to begin (or recognise) wins the touch.
void settle(GestureRecognizer* winner) {
    using S = GestureRecognizer::State;
    const S s = winner->state();
    if (s != S::Began && s != S::Ended) return;
    for (const auto& r : g_seq.recognizers)
        if (r && r != winner) r->fail();
    if (winner->cancelsTouchesInView() && !g_seq.swallow) {
        g_seq.swallow = true;
        if (Control* c = controlFor(g_seq.receiver)) c->cancelTracking();
    }
}

void begin(View* view, const QPointF& point, QWidget* receiver) {
    if (g_seq.active) finish();
    if (!view) return;
    g_seq.active = true;
    g_seq.view = view;
    g_seq.receiver = receiver ? receiver : view;
    g_seq.base = view->convertPointToView(QPointF(0, 0), nullptr);
    const Touch touch = Touch::at(view, point);
    // The platform lets a control's own tap win over taps recognised on views behind it.
    Control* control = controlFor(receiver ? receiver : view);
    const bool controlTaps = control && control->isEnabled() && control->userInteractionEnabled();
    for (View* v = view; v; v = v->superview()) {
        for (GestureRecognizer* r : v->gestureRecognizers()) {
            if (controlTaps && v != control && qobject_cast<TapGestureRecognizer*>(r)) continue;
            if (r->shouldReceiveTouch(touch)) g_seq.recognizers.emplace_back(r);
        }
    }
    const auto list = g_seq.recognizers;
    for (const auto& r : list)
        if (r) r->touchesBegan(touch);
}

// Synthetic points are taken where the view was when touched, so scrolling under the
// finger does not move the finger.
Touch syntheticTouch(const QPointF& point) {
    Touch t;
    t.view = g_seq.view;
    t.location = g_seq.base + point;
    t.timeMs = ns::Clock::current().nowMs();
    return t;
}

void move(const Touch& touch) {
    if (!g_seq.active || !g_seq.view) return;
    const auto list = g_seq.recognizers;
    for (const auto& r : list) {
        if (!r || r->state() == GestureRecognizer::State::Failed) continue;
        const auto before = r->state();
        r->touchesMoved(touch);
        if (r && r->state() != before) settle(r);
    }
}

void end(const Touch& touch) {
    if (!g_seq.active) return;
    if (g_seq.view) {
        const auto list = g_seq.recognizers;
        for (const auto& r : list) {
            if (!r || r->state() == GestureRecognizer::State::Failed) continue;
            r->touchesEnded(touch);
            if (r) settle(r);
        }
    }
}

// A touch of the running sequence at the time its event was made; the handling time when
// the stamp cannot be one of this sequence (earlier than the press, or minutes after it).
qint64 timeOf(quint64 stamp, qint64 handledMs) {
    constexpr quint64 kLongestTouchMs = 10 * 60 * 1000;
    if (stamp < g_seq.pressStamp || stamp - g_seq.pressStamp > kLongestTouchMs) return handledMs;
    return g_seq.pressMs + qint64(stamp - g_seq.pressStamp);
}

class Filter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
            type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;
        auto* me = static_cast<QMouseEvent*>(event);
        // Qt offers an event that a child ignored to each ancestor in turn: take it once.
        const Key key{type, me->timestamp(), me->globalPosition(), me->buttons()};
        if (key == m_last) return g_seq.active && g_seq.swallow && type != QEvent::MouseButtonPress;
        m_last = key;

        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            if (me->button() != Qt::LeftButton) return false;
            View* view = viewFor(widget);
            if (!view) return false;
            const QPointF local = widget == view
                                      ? me->position()
                                      : QPointF(widget->mapTo(view, me->position().toPoint()));
            // Widget coordinates start at the view's bounds origin (a scroll view's offset).
            begin(view, local + view->bounds().topLeft(), widget);
            g_seq.pressMs = ns::Clock::current().nowMs();
            g_seq.pressStamp = me->timestamp();
            return false;
        }
        if (!g_seq.active || !g_seq.view) return false;
        const QPointF p = QPointF(g_seq.view->mapFromGlobal(me->globalPosition().toPoint())) +
                          g_seq.view->bounds().topLeft();
        Touch touch = Touch::at(g_seq.view, p);
        touch.timeMs = timeOf(me->timestamp(), touch.timeMs);
        if (type == QEvent::MouseMove) {
            if (!(me->buttons() & Qt::LeftButton)) return false;
            move(touch);
            return g_seq.swallow;
        }
        if (me->button() != Qt::LeftButton) return false;
        end(touch);
        const bool swallow = g_seq.swallow;
        finish();
        return swallow;
    }

private:
    struct Key {
        QEvent::Type type = QEvent::None;
        quint64 timestamp = 0;
        QPointF global;
        Qt::MouseButtons buttons;
        bool operator==(const Key&) const = default;
    };
    Key m_last;
};

} // namespace

void TouchInput::install() {
    static QPointer<Filter> filter;
    if (filter || !qApp) return;
    filter = new Filter(qApp);
    qApp->installEventFilter(filter);
}

void TouchInput::began(View* view, const QPointF& point) {
    begin(view, point, nullptr);
}

void TouchInput::moved(const QPointF& point) {
    move(syntheticTouch(point));
}

void TouchInput::ended(const QPointF& point) {
    end(syntheticTouch(point));
    finish();
}

void TouchInput::cancelled() {
    for (const auto& r : g_seq.recognizers)
        if (r) r->touchesCancelled();
    finish();
}

bool TouchInput::isActive() {
    return g_seq.active;
}

} // namespace ui
