#include "platform/ui/NavigationController.h"

#include "platform/ui/Animation.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <utility>

namespace ui {

namespace {
constexpr const char* kTransitionKey = "transition";
constexpr const char* kBarKey = "navigationBar";
constexpr double kBarDuration = 0.25;

// The stack's own view. Its layout pass runs before it is drawn (and on the next pass of the
// event loop): there a change of the bar becomes the top screen's.
class StackView : public View {
public:
    StackView(const QRectF& frame, std::function<void()> laidOut)
        : View(frame), m_laidOut(std::move(laidOut)) {}

protected:
    void layoutSubviews() override { m_laidOut(); }
    void paintEvent(QPaintEvent* event) override {
        layoutIfNeeded();
        View::paintEvent(event);
    }

private:
    std::function<void()> m_laidOut;
};
} // namespace

NavigationController::NavigationController(ViewController* root, QObject* parent)
    : ViewController(parent) {
    if (root) pushViewController(root, false);
}

NavigationController::~NavigationController() {
    m_destroying = true;
    Animation::finish(this, kTransitionKey);
    if (m_bar && !m_bar->parentWidget()) delete m_bar;
}

QList<ViewController*> NavigationController::viewControllers() const {
    QList<ViewController*> out;
    for (const auto& vc : m_stack)
        if (vc) out.append(vc);
    return out;
}

ViewController* NavigationController::topViewController() const {
    for (auto it = m_stack.crbegin(); it != m_stack.crend(); ++it)
        if (*it) return *it;
    return nullptr;
}

ViewController* NavigationController::visibleViewController() const {
    if (ViewController* presented = presentedViewController()) return presented;
    return topViewController();
}

NavigationBar* NavigationController::navigationBar() {
    if (!m_bar) {
        m_bar = new NavigationBar;
        QPointer<NavigationController> self(this);
        m_bar->setBackAction([self] {
            if (self) self->popViewControllerAnimated(true);
        });
        updateBar();
    }
    return m_bar;
}

TabBarController* NavigationController::tabContainer() const {
    return qobject_cast<TabBarController*>(parentViewController());
}

ScreenBars NavigationController::barsOfTop() const {
    const TabBarController* tabs = tabContainer();
    return {!m_barHiddenAtRest, tabs && tabs->showsBarBelow(this)};
}

void NavigationController::loadView() {
    QPointer<NavigationController> self(this);
    auto* v = new StackView(QRectF(QPointF(), Window::screenSize()), [self] {
        if (self && !self->m_slide) self->m_barHiddenAtRest = self->m_barHidden;
    });
    v->setBackgroundColor(Qt::white);
    m_host = new View(v);
    m_host->setClipsToBounds(true);
    NavigationBar* bar = navigationBar();
    v->addSubview(bar);
    bar->setHidden(m_barHidden);
    m_barHiddenAtRest = m_barHidden;
    setView(v);
    connect(v, &View::frameChanged, this, &NavigationController::layoutContent);
    if (ViewController* top = topViewController()) m_host->addSubview(top->view());
    layoutContent();
}

QRectF NavigationController::contentFrame() const {
    const QRectF b = isViewLoaded() ? const_cast<NavigationController*>(this)->view()->bounds()
                                    : QRectF(QPointF(), Window::screenSize());
    if (m_barHidden || (m_slide && m_slide->topRides())) return b;
    return b.adjusted(0, NavigationBar::kHeight, 0, 0);
}

void NavigationController::layoutContent() {
    if (!isViewLoaded() || !m_host) return;
    const double w = view()->frame().width();
    m_bar->setFrame(
        QRectF(0, m_barHidden ? -NavigationBar::kHeight : 0, w, NavigationBar::kHeight));
    m_host->setFrame(contentFrame());
    if (isTransitioning()) return; // the slide places the screens itself
    if (ViewController* top = topViewController(); top && top->isViewLoaded())
        top->view()->setFrame(m_host->bounds());
}

QList<ViewController*> NavigationController::appearanceChildren() const {
    if (ViewController* top = topViewController(); top && isViewLoaded()) return {top};
    return {};
}

void NavigationController::releaseChild(ViewController* child) {
    const bool wasTop = child == topViewController();
    m_stack.removeAll(child);
    ViewController::releaseChild(child);
    if (wasTop && child->isViewLoaded() && child->view()->superview() == m_host)
        child->view()->removeFromSuperview();
    if (wasTop && m_host)
        if (ViewController* top = topViewController()) {
            m_host->addSubview(top->view());
            top->view()->setFrame(m_host->bounds());
        }
    updateBar();
    emit stackChanged(false);
}

void NavigationController::updateBar() {
    if (!m_bar) return;
    const QList<ViewController*> stack = viewControllers();
    ViewController* top = stack.isEmpty() ? nullptr : stack.last();
    ViewController* below = stack.size() > 1 ? stack.at(stack.size() - 2) : nullptr;
    m_bar->setItems(top ? top->navigationItem() : nullptr,
                    below ? below->navigationItem() : nullptr, top ? top->title() : QString());
}

void NavigationController::completeRunningTransition() {
    Animation::finish(this, kTransitionKey);
}

void NavigationController::pushViewController(ViewController* vc, bool animated) {
    completeRunningTransition();
    if (!vc || vc == this) return;
    for (ViewController* a = this; a; a = a->parentViewController())
        if (a == vc) return;
    QList<ViewController*> stack = viewControllers();
    if (stack.contains(vc)) return;
    stack.append(vc);
    transition(stack, Direction::Push, animated);
}

ViewController* NavigationController::popViewControllerAnimated(bool animated) {
    completeRunningTransition();
    QList<ViewController*> stack = viewControllers();
    if (stack.size() <= 1) return nullptr;
    ViewController* popped = stack.takeLast();
    transition(stack, Direction::Pop, animated);
    return popped;
}

QList<ViewController*> NavigationController::popToViewController(ViewController* vc,
                                                                 bool animated) {
    completeRunningTransition();
    const QList<ViewController*> stack = viewControllers();
    const int index = vc ? int(stack.indexOf(vc)) : -1;
    if (index < 0 || index == stack.size() - 1) return {};
    transition(stack.mid(0, index + 1), Direction::Pop, animated);
    return stack.mid(index + 1);
}

QList<ViewController*> NavigationController::popToRootViewControllerAnimated(bool animated) {
    completeRunningTransition();
    const QList<ViewController*> stack = viewControllers();
    if (stack.isEmpty()) return {};
    return popToViewController(stack.first(), animated);
}

void NavigationController::setViewControllers(const QList<ViewController*>& vcs, bool animated) {
    completeRunningTransition();
    QList<ViewController*> stack;
    for (ViewController* vc : vcs) {
        if (!vc || vc == this || stack.contains(vc)) continue;
        bool ancestor = false;
        for (ViewController* a = this; a && !ancestor; a = a->parentViewController())
            ancestor = a == vc;
        if (!ancestor) stack.append(vc);
    }
    const QList<ViewController*> old = viewControllers();
    ViewController* newTop = stack.isEmpty() ? nullptr : stack.last();
    const Direction dir = newTop && old.contains(newTop) ? Direction::Pop : Direction::Push;
    transition(stack, dir, animated);
}

void NavigationController::transition(const QList<ViewController*>& newStack, Direction direction,
                                      bool animated) {
    const QList<ViewController*> old = viewControllers();
    Change change;
    change.from = old.isEmpty() ? nullptr : old.last();
    change.to = newStack.isEmpty() ? nullptr : newStack.last();
    change.animated = animated;
    for (ViewController* vc : newStack) {
        if (old.contains(vc)) continue;
        addChildViewController(vc);
        change.added.append(vc);
    }
    for (ViewController* vc : old) {
        if (newStack.contains(vc)) continue;
        vc->willMoveToParentViewController(nullptr);
        change.removed.append(vc);
    }
    m_stack.clear();
    for (ViewController* vc : newStack)
        m_stack.append(vc);

    const bool topChanged = change.from != change.to;
    const bool loaded = isViewLoaded() && m_host;
    change.visible = topChanged && isVisible() && loaded;
    if (topChanged && change.from && change.from->isViewLoaded())
        change.fromView = change.from->view();
    if (animated && loaded && change.to && change.fromView && direction != Direction::None) {
        Animation::finish(this, kBarKey);
        // The bars as the outgoing screen rests with them, its own items on the bar.
        m_slide = std::make_unique<NavigationBarSlide>(barsOfTop(), navigationBar());
    }
    if (topChanged && m_delegate)
        m_delegate->navigationControllerWillShowViewController(this, change.to, animated);
    updateBar();
    emit stackChanged(animated);
    if (loaded && change.to && topChanged) {
        change.toView = change.to->view();
        change.toView->setFrame(m_host->bounds());
        if (direction == Direction::Pop && change.fromView &&
            change.fromView->superview() == m_host)
            m_host->insertSubviewBelow(change.toView, change.fromView);
        else
            m_host->addSubview(change.toView);
    }
    if (change.visible) {
        if (change.from) change.from->beginAppearanceTransition(false, animated);
        if (change.to) change.to->beginAppearanceTransition(true, animated);
    }
    if (m_slide)
        startSlide(change, direction == Direction::Push);
    else
        endTransition(change);
}

void NavigationController::startSlide(const Change& change, bool push) {
    // The incoming screen is set up: its bars are the stack's now.
    TabBarController* tabs = tabContainer();
    m_slide->setIncoming({!m_barHidden, tabs && tabs->showsBarBelow(this)});
    if (m_slide->bottomRides() && tabs) tabs->lendBar(this);
    m_bar->setHidden(m_barHidden || m_slide->topRides());
    layoutContent();
    m_slide->start(m_host, change.fromView, change.toView, push, m_bar,
                   tabs ? tabs->tabBar() : nullptr);
    QPointer<NavigationController> self(this);
    NavigationBarSlide* slide = m_slide.get();
    Animation::run(
        this, kTransitionKey, kTransitionDuration, Animation::Curve::EaseInOut,
        [slide](double t) { slide->step(t); },
        [self, change](bool) {
            if (!self) return;
            self->endSlide();
            self->endTransition(change);
        });
}

void NavigationController::endSlide() {
    const bool barLent = m_slide->bottomRides();
    m_slide.reset();
    m_barHiddenAtRest = m_barHidden;
    if (m_destroying) return;
    m_bar->setHidden(m_barHidden);
    // The tab container lays its bar out again first, so the screen takes its size once.
    if (TabBarController* tabs = tabContainer(); tabs && barLent) tabs->takeBarBack(this);
    layoutContent();
}

void NavigationController::endTransition(const Change& change) {
    if (change.fromView && change.fromView != change.toView &&
        change.fromView->superview() == m_host)
        change.fromView->removeFromSuperview();
    if (change.toView && m_host) change.toView->setFrame(m_host->bounds());
    if (change.visible) {
        if (change.from) change.from->endAppearanceTransition();
        if (change.to) change.to->endAppearanceTransition();
    }
    for (const auto& vc : change.removed) {
        // Still off the stack (not pushed back meanwhile): released.
        if (vc && vc->parentViewController() == this && !viewControllers().contains(vc))
            vc->removeFromParentViewController();
    }
    for (const auto& vc : change.added)
        if (vc && vc->parentViewController() == this) vc->didMoveToParentViewController(this);
    if (change.from != change.to && m_delegate)
        m_delegate->navigationControllerDidShowViewController(this, change.to, change.animated);
}

void NavigationController::setNavigationBarHidden(bool hidden, bool animated) {
    if (hidden == m_barHidden) return;
    // A slide under way ends first; one being set up takes the change with its incoming screen.
    if (Animation::isRunning(this, kTransitionKey)) completeRunningTransition();
    if (m_slide) animated = false;
    m_barHidden = hidden;
    if (!isViewLoaded()) return;
    NavigationBar* bar = navigationBar();
    Animation::finish(this, kBarKey);
    if (!animated) {
        view()->setNeedsLayout();
        bar->setHidden(hidden);
        layoutContent();
        return;
    }
    m_barHiddenAtRest = hidden; // it moves in place, for the screen on top
    const double w = view()->frame().width();
    const QRectF shown(0, 0, w, NavigationBar::kHeight);
    const QRectF away = shown.translated(0, -NavigationBar::kHeight);
    bar->setHidden(false);
    bar->setFrame(hidden ? shown : away);
    QPointer<NavigationController> self(this);
    Animation::run(
        this, kBarKey, kBarDuration, Animation::Curve::EaseInOut,
        [self, shown, away, hidden](double t) {
            if (!self || !self->m_bar) return;
            const QRectF from = hidden ? shown : away, to = hidden ? away : shown;
            self->m_bar->setFrame(from.translated(0, (to.y() - from.y()) * t));
        },
        [self](bool) {
            if (!self || !self->m_bar) return;
            self->m_bar->setHidden(self->m_barHidden);
            self->layoutContent();
        });
    // The content takes its new size at once; the bar slides over it.
    if (m_host) m_host->setFrame(contentFrame());
    if (ViewController* top = topViewController(); top && top->isViewLoaded() && !isTransitioning())
        top->view()->setFrame(m_host->bounds());
}

} // namespace ui
