#pragma once

#include "platform/foundation/Weak.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationBarSlide.h"
#include "platform/ui/ViewController.h"

#include <QList>
#include <QPointer>
#include <memory>

namespace ui {

class NavigationBar;
class NavigationController;
class TabBarController;

class NavigationControllerDelegate {
public:
    virtual ~NavigationControllerDelegate() = default;
    virtual void navigationControllerWillShowViewController(NavigationController* nav,
                                                            ViewController* vc, bool animated) {
        Q_UNUSED(nav);
        Q_UNUSED(vc);
        Q_UNUSED(animated);
    }
    virtual void navigationControllerDidShowViewController(NavigationController* nav,
                                                           ViewController* vc, bool animated) {
        Q_UNUSED(nav);
        Q_UNUSED(vc);
        Q_UNUSED(animated);
    }
};

// A stack of screens under a navigation bar. It owns the screens on its stack; screens taken
// off are released (deleted on the next pass of the event loop unless taken up again).
// A transition started while another is animating first completes the running one.
//
// An animated push or pop slides the screens (NavigationBarSlide). Each screen has the bars it
// is laid out with: this stack's bar as the screen on top rests with it, and the tab
// container's bar while this stack is the selected tab and does not hide it. A change of the
// bar without animation becomes the top screen's at the next layout pass of this stack's view
// (before it is drawn); made before that, or while the incoming screen is set up, it belongs to
// the incoming screen, so the bar comes or goes with it.
class NavigationController : public ViewController {
    Q_OBJECT
public:
    static constexpr double kTransitionDuration = 0.35;

    explicit NavigationController(ViewController* root = nullptr, QObject* parent = nullptr);
    ~NavigationController() override;

    QList<ViewController*> viewControllers() const;
    // Replaces the stack (nulls and repeats dropped). The new top comes in as a push when it is
    // new, as a pop when it was lower on the old stack.
    void setViewControllers(const QList<ViewController*>& vcs, bool animated = false);
    // Pushing a screen already on the stack, or null, does nothing. A screen held by another
    // container is taken from it.
    void pushViewController(ViewController* vc, bool animated);
    // Returns the popped screen (alive until the next pass of the event loop); nullptr on the
    // root.
    ViewController* popViewControllerAnimated(bool animated);
    QList<ViewController*> popToRootViewControllerAnimated(bool animated);
    // Pops the screens above vc; empty when vc is not on the stack.
    QList<ViewController*> popToViewController(ViewController* vc, bool animated);
    ViewController* topViewController() const;
    // The screen presented over the top one, if any, else the top one.
    ViewController* visibleViewController() const;

    NavigationBar* navigationBar();
    bool isNavigationBarHidden() const { return m_barHidden; }
    void setNavigationBarHidden(bool hidden, bool animated = false);

    NavigationControllerDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(NavigationControllerDelegate* delegate) { m_delegate.reset(delegate); }

    // From the start of an animated push or pop to its end.
    bool isTransitioning() const { return m_slide != nullptr; }

signals:
    // The stack changed (as the transition starts); the tab bar follows the top screen's wishes.
    void stackChanged(bool animated);

protected:
    void loadView() override;
    QList<ViewController*> appearanceChildren() const override;
    void releaseChild(ViewController* child) override;

private:
    enum class Direction { None, Push, Pop };
    // What a transition changed, for its end.
    struct Change {
        QPointer<ViewController> from, to;
        QPointer<View> fromView, toView;
        QList<QPointer<ViewController>> added, removed;
        bool visible = false;
        bool animated = false;
    };
    void transition(const QList<ViewController*>& newStack, Direction direction, bool animated);
    void startSlide(const Change& change, bool push);
    void endTransition(const Change& change);
    void endSlide();
    void completeRunningTransition();
    ScreenBars barsOfTop() const;
    TabBarController* tabContainer() const;
    void updateBar();
    void layoutContent();
    QRectF contentFrame() const;

    QList<QPointer<ViewController>> m_stack;
    QPointer<NavigationBar> m_bar;
    QPointer<View> m_host;
    bool m_barHidden = false;
    // The bar as the screen on top rests with it: behind m_barHidden until the layout pass.
    bool m_barHiddenAtRest = false;
    std::unique_ptr<NavigationBarSlide> m_slide;
    bool m_destroying = false;
    ns::Weak<NavigationControllerDelegate> m_delegate;
};

} // namespace ui
