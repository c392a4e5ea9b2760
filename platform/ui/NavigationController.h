#pragma once

#include "platform/foundation/Weak.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/ViewController.h"

#include <QImage>
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
//
// A bar shown for only one of the two screens of an animated push or pop (this stack's own bar
// changed without animation just before the transition or while it is set up, or a container's
// bottom bar handed over with carryBottomBar) is drawn as part of that screen: it slides with
// it, above it and below the other screen, and nothing else moves or changes size meanwhile.
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

    // For the container around this stack, while it hears stackChanged of an animated push or
    // pop: bar (laid along the bottom edge, below this stack's view) belongs to the outgoing
    // screen only (withOutgoing) or to the incoming one only. A picture of it rides at that
    // screen's foot until transitionFinished; the container hides the bar itself meanwhile and
    // keeps this stack's view over the bar's place. False when no slide is being set up.
    bool carryBottomBar(View* bar, bool withOutgoing);

signals:
    // The stack changed (as the transition starts); the tab bar follows the top screen's wishes.
    void stackChanged(bool animated);
    // A transition ended: the screens are where they rest.
    void transitionFinished();

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

    // A bar drawn as part of one screen of the slide being set up.
    struct Carried {
        QImage picture;
        QSizeF size;
        bool withOutgoing;
        bool atTop;
    };

    QList<QPointer<ViewController>> m_stack;
    QPointer<NavigationBar> m_bar;
    QPointer<View> m_host;
    bool m_barHidden = false;
    // A change of the bar made without animation that nothing has drawn yet (until the event
    // loop runs again): the bar as it was drawn before it.
    bool m_barChangeUndrawn = false;
    bool m_barHiddenAsDrawn = false;
    // While a slide is set up (from stackChanged to the start of its animation).
    bool m_settingUpSlide = false;
    QList<Carried> m_carried;
    // While the slide runs, the screens' host also covers the bar's place.
    bool m_hostCoversBar = false;
    bool m_destroying = false;
    ns::Weak<NavigationControllerDelegate> m_delegate;
    std::function<void()> m_finishTransition;
};

} // namespace ui
