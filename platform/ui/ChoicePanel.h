#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

namespace ui {

class View;

// What an alert and an action sheet share: shown over the key window, they take one press,
// report it, go away (animated or not) and delete themselves. Subclasses build and animate
// their own views and tell their own delegates.
class ChoicePanel : public QObject {
    Q_OBJECT
public:
    ~ChoicePanel() override;

    // Lays the panel over the key window (or only lists it when no window is up). Once.
    void show();
    bool isVisible() const { return m_visible; }
    // A user's press: the clicked report, then dismissal. Ignored for a button that cannot be
    // pressed, a panel not showing, one already going, or a second press.
    bool pressButtonAtIndex(int index);
    // Dismissal without a press (the will- and did-dismiss reports only).
    void dismissWithClickedButtonIndex(int index, bool animated);

protected:
    ChoicePanel() = default;

    // The dimmed full-window view everything of the panel is laid in (built by buildViews).
    QPointer<View> m_overlay;

    virtual bool canPress(int index) const = 0;
    virtual void buildViews() = 0;
    // Into and out of the list of panels on screen.
    virtual void list(bool onScreen) = 0;
    virtual void animateIn() = 0;
    // The way out: its length, its key, and a step given the progress 0..1. Asked once per
    // dismissal, before the views go.
    struct Exit {
        double seconds = 0;
        const char* key = "";
        std::function<void(double)> step;
    };
    virtual Exit exitAnimation() = 0;
    // The delegate's and callback's reports; each may destroy the panel.
    virtual void reportClicked(int index) = 0;
    virtual void reportWillDismiss(int index) = 0;
    virtual void reportDidDismiss(int index) = 0;
    // Before the views go (an alert ends its field's editing).
    virtual void willTearDown() {}
    // Drops the subclass's pointers into the views that are about to go.
    virtual void forgetViews() {}
    // Makes the panel go with m_overlay: a window closed under a panel still up (the
    // application quitting) takes the panel along. Called again when the overlay is rebuilt.
    void tieToOverlay();

private:
    void finishDismiss(int index);
    bool m_visible = false;
    bool m_dismissing = false;
    bool m_pressed = false;
    QMetaObject::Connection m_overlayGone;
};

} // namespace ui
