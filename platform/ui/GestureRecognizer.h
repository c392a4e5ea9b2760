#pragma once

#include "platform/foundation/Weak.h"
#include "platform/ui/View.h"

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <functional>
#include <vector>

namespace ui {

class GestureRecognizer;

// One finger on the screen.
struct Touch {
    QPointer<View> view; // the view the touch hit
    QPointF location;    // in window coordinates (those of the top-most view)
    qint64 timeMs = 0;   // on ns::Clock

    // The location in view's coordinates (window coordinates for null).
    QPointF locationInView(const View* view) const;
    // A touch at point (in view's coordinates), now.
    static Touch at(View* view, const QPointF& point);
};

class GestureRecognizerDelegate {
public:
    virtual ~GestureRecognizerDelegate() = default;
    virtual bool gestureRecognizerShouldReceiveTouch(GestureRecognizer*, const Touch&) {
        return true;
    }
};

// Turns the touches on its view (and the view's subviews) into a gesture. Touches reach it
// from the mouse (see TouchInput) or from tests calling the touches methods directly.
class GestureRecognizer : public QObject {
    Q_OBJECT
public:
    enum class State { Possible, Began, Changed, Ended, Cancelled, Failed };
    using Action = std::function<void(GestureRecognizer*)>;

    explicit GestureRecognizer(QObject* parent = nullptr);
    ~GestureRecognizer() override;

    View* view() const { return m_view; }
    State state() const { return m_state; }
    bool isEnabled() const { return m_enabled; }
    // Switching off during a gesture cancels it.
    void setEnabled(bool enabled);
    // Whether a gesture that begins takes the touch away from the control under it.
    bool cancelsTouchesInView() const { return m_cancelsTouches; }
    void setCancelsTouchesInView(bool on) { m_cancelsTouches = on; }
    GestureRecognizerDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(GestureRecognizerDelegate* delegate) { m_delegate.reset(delegate); }

    // Runs on every state the gesture reports; with a target, only while it lives.
    void addTarget(QObject* target, Action action);
    void removeTarget(QObject* target);

    // Where the last touch is, in view's coordinates.
    QPointF locationInView(const View* view) const;

    // Touch input. A touch sequence that begins while the last one's state is final starts
    // afresh.
    void touchesBegan(const Touch& touch);
    void touchesMoved(const Touch& touch);
    void touchesEnded(const Touch& touch);
    void touchesCancelled();
    // Asks the delegate whether the recogniser takes this touch.
    bool shouldReceiveTouch(const Touch& touch);
    // Back to Possible after a sequence; forgets the touches.
    void reset();
    // Fails the gesture (another one won the touch).
    void fail();

signals:
    void action(ui::GestureRecognizer* recognizer);

protected:
    virtual void began(const Touch& touch) = 0;
    virtual void moved(const Touch& touch) = 0;
    virtual void ended(const Touch& touch) = 0;
    virtual void cancelled();
    virtual void didReset() {}
    // Sets the state and tells the targets when it is one the gesture reports.
    void setState(State state);
    const Touch& lastTouch() const { return m_last; }

private:
    friend class View;
    void setView(View* view);
    void sendActions();

    struct Target {
        QPointer<QObject> target;
        bool hadTarget = false;
        Action action;
    };
    QPointer<View> m_view;
    State m_state = State::Possible;
    bool m_enabled = true;
    bool m_cancelsTouches = true;
    bool m_active = false; // inside a touch sequence
    ns::Weak<GestureRecognizerDelegate> m_delegate;
    std::vector<Target> m_targets;
    Touch m_last;
};

} // namespace ui
