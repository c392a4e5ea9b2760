#pragma once

#include "platform/foundation/Weak.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/ViewController.h"

#include <QList>
#include <functional>

namespace ui {

class NavigationBar;
class NavigationController;

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

    bool isTransitioning() const { return bool(m_finishTransition); }

signals:
    // The stack changed (after the transition); the tab bar follows the top screen's wishes.
    void stackChanged(bool animated);

protected:
    void loadView() override;
    QList<ViewController*> appearanceChildren() const override;
    void releaseChild(ViewController* child) override;

private:
    enum class Direction { None, Push, Pop };
    void transition(const QList<ViewController*>& newStack, Direction direction, bool animated);
    void completeRunningTransition();
    void updateBar();
    void layoutContent();
    QRectF contentFrame() const;

    QList<QPointer<ViewController>> m_stack;
    QPointer<NavigationBar> m_bar;
    QPointer<View> m_host;
    bool m_barHidden = false;
    ns::Weak<NavigationControllerDelegate> m_delegate;
    std::function<void()> m_finishTransition;
};

} // namespace ui
