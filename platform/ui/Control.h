#pragma once

#include "platform/ui/View.h"

#include <QPointer>
#include <functional>
#include <vector>

namespace ui {

// A view that turns touches into control events and sends them to its targets. A mouse
// press, drag and release act as a touch.
class Control : public View {
    Q_OBJECT
public:
    // States combine as flags; the platform's values.
    enum State : unsigned {
        Normal = 0,
        Highlighted = 1u << 0,
        Disabled = 1u << 1,
        Selected = 1u << 2
    };
    enum Event : unsigned {
        TouchDown = 1u << 0,
        TouchDownRepeat = 1u << 1,
        TouchDragInside = 1u << 2,
        TouchDragOutside = 1u << 3,
        TouchDragEnter = 1u << 4,
        TouchDragExit = 1u << 5,
        TouchUpInside = 1u << 6,
        TouchUpOutside = 1u << 7,
        TouchCancel = 1u << 8,
        ValueChanged = 1u << 12,
        EditingDidBegin = 1u << 16,
        EditingChanged = 1u << 17,
        EditingDidEnd = 1u << 18,
        EditingDidEndOnExit = 1u << 19,
        AllTouchEvents = 0x00000FFFu,
        AllEditingEvents = 0x000F0000u,
        AllEvents = 0xFFFFFFFFu,
    };
    enum class ContentHorizontalAlignment { Center = 0, Left = 1, Right = 2, Fill = 3 };
    enum class ContentVerticalAlignment { Center = 0, Top = 1, Bottom = 2, Fill = 3 };
    using Action = std::function<void(Control* sender)>;

    explicit Control(View* parent = nullptr);
    explicit Control(const QRectF& frame, View* parent = nullptr);

    bool isEnabled() const { return m_enabled; }
    virtual void setEnabled(bool enabled);
    bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted);
    unsigned state() const;
    bool isTracking() const { return m_tracking; }
    bool isTouchInside() const { return m_touchInside; }

    ContentHorizontalAlignment contentHorizontalAlignment() const { return m_hAlign; }
    void setContentHorizontalAlignment(ContentHorizontalAlignment a);
    ContentVerticalAlignment contentVerticalAlignment() const { return m_vAlign; }
    void setContentVerticalAlignment(ContentVerticalAlignment a);

    // The action runs for any of events. With a target, it stops when the target is destroyed
    // and removeTarget can find it; without one it lives as long as the control.
    void addTarget(QObject* target, Action action, unsigned events);
    void addAction(unsigned events, std::function<void()> action);
    // Removes the target's actions for those events (every target when target is null).
    void removeTarget(QObject* target, unsigned events);
    unsigned allControlEvents() const;

    // Sends the actions for events at once, as a touch would.
    void sendActionsForControlEvents(unsigned events);

    // Ends touch tracking without an up event (a gesture took the touch over).
    void cancelTracking();

signals:
    void touchDown();
    void touchUpInside();
    void valueChanged();
    // Every event sent, with its flag.
    void controlEvent(unsigned event);

protected:
    // Hooks for subclasses that track touches themselves (points in the control's bounds).
    virtual bool beginTracking(const QPointF& point);
    virtual bool continueTracking(const QPointF& point);
    virtual void endTracking(const QPointF& point);
    virtual void stateDidChange() {}
    // The area a moving touch stays "inside" for: the bounds grown by a finger's slack.
    virtual bool pointCountsInside(const QPointF& point) const;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    struct Target {
        QPointer<QObject> target;
        bool hadTarget = false;
        Action action;
        unsigned events = 0;
        quint64 serial = 0;
    };
    std::vector<Target> m_targets;
    quint64 m_serial = 0;
    bool m_enabled = true;
    bool m_selected = false;
    bool m_highlighted = false;
    bool m_tracking = false;
    bool m_touchInside = false;
    ContentHorizontalAlignment m_hAlign = ContentHorizontalAlignment::Center;
    ContentVerticalAlignment m_vAlign = ContentVerticalAlignment::Center;
};

} // namespace ui
