#include "platform/ui/NavigationController.h"

#include "platform/ui/Animation.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <QPainter>
#include <memory>
#include <utility>

namespace ui {

namespace {
constexpr const char* kTransitionKey = "transition";
constexpr const char* kBarKey = "navigationBar";
constexpr double kBarDuration = 0.25;
// How far the lower screen moves while the upper one slides over it.
constexpr double kParallax = 0.3;

// A bar as it was drawn, riding with a sliding screen: the bar itself stays where its owner
// lays it, hidden until the slide ends.
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

void NavigationController::loadView() {
    auto* v = new View(QRectF(QPointF(), Window::screenSize()));
    v->setBackgroundColor(Qt::white);
    m_host = new View(v);
    m_host->setClipsToBounds(true);
    NavigationBar* bar = navigationBar();
    v->addSubview(bar);
    bar->setHidden(m_barHidden);
    setView(v);
    connect(v, &View::frameChanged, this, &NavigationController::layoutContent);
    if (ViewController* top = topViewController()) m_host->addSubview(top->view());
    layoutContent();
}

QRectF NavigationController::contentFrame() const {
    const QRectF b = isViewLoaded() ? const_cast<NavigationController*>(this)->view()->bounds()
                                    : QRectF(QPointF(), Window::screenSize());
    if (m_barHidden || m_hostCoversBar) return b;
    return b.adjusted(0, NavigationBar::kHeight, 0, 0);
}

void NavigationController::layoutContent() {
    if (!isViewLoaded() || !m_host) return;
    const double w = view()->frame().width();
    m_bar->setFrame(
        QRectF(0, m_barHidden ? -NavigationBar::kHeight : 0, w, NavigationBar::kHeight));
    m_host->setFrame(contentFrame());
    if (isTransitioning()) return; // the transition places the screens itself
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

bool NavigationController::carryBottomBar(View* bar, bool withOutgoing) {
    if (!m_settingUpSlide || !bar) return false;
    m_carried.append({pictureOf(bar), bar->frame().size(), withOutgoing, false});
    return true;
}

void NavigationController::transition(const QList<ViewController*>& newStack, Direction direction,
                                      bool animated) {
    const QList<ViewController*> old = viewControllers();
    ViewController* oldTop = old.isEmpty() ? nullptr : old.last();
    ViewController* newTop = newStack.isEmpty() ? nullptr : newStack.last();

    QList<QPointer<ViewController>> added, removed;
    for (ViewController* vc : newStack) {
        if (old.contains(vc)) continue;
        addChildViewController(vc);
        added.append(vc);
    }
    for (ViewController* vc : old) {
        if (newStack.contains(vc)) continue;
        vc->willMoveToParentViewController(nullptr);
        removed.append(vc);
    }
    m_stack.clear();
    for (ViewController* vc : newStack)
        m_stack.append(vc);

    const bool topChanged = oldTop != newTop;
    const bool loaded = isViewLoaded() && m_host;
    const bool visible = isVisible() && loaded;
    QPointer<View> oldView = oldTop && oldTop->isViewLoaded() ? oldTop->view() : nullptr;
    const bool slides =
        animated && loaded && topChanged && newTop && oldView && direction != Direction::None;
    // The bar as the outgoing screen was last drawn with it.
    const bool barShownBefore = !(m_barChangeUndrawn ? m_barHiddenAsDrawn : m_barHidden);
    QImage barBefore;
    if (slides) {
        Animation::finish(this, kBarKey);
        m_finishTransition = [] {};
        m_settingUpSlide = true;
        m_carried.clear();
        if (barShownBefore) barBefore = pictureOf(navigationBar()); // before it takes the new items
    }
    if (topChanged && m_delegate)
        m_delegate->navigationControllerWillShowViewController(this, newTop, animated);
    updateBar();
    emit stackChanged(animated);
    QPointer<View> newView;
    if (loaded && newTop && topChanged) {
        newView = newTop->view();
        newView->setFrame(m_host->bounds());
        if (direction == Direction::Pop && oldView && oldView->superview() == m_host)
            m_host->insertSubviewBelow(newView, oldView);
        else
            m_host->addSubview(newView);
    }
    if (topChanged && visible) {
        if (oldTop) oldTop->beginAppearanceTransition(false, animated);
        if (newTop) newTop->beginAppearanceTransition(true, animated);
    }

    QPointer<NavigationController> self(this);
    QPointer<ViewController> from(oldTop), to(newTop);
    auto pictures = std::make_shared<QList<QPointer<View>>>();
    auto finish = [self, from, to, oldView, newView, added, removed, topChanged, visible, animated,
                   pictures](bool) {
        if (!self) return;
        self->m_finishTransition = nullptr;
        const bool carried = !pictures->isEmpty();
        for (const QPointer<View>& picture : *pictures)
            delete picture.data();
        if (topChanged && oldView && oldView != newView && oldView->superview() == self->m_host)
            oldView->removeFromSuperview();
        if (carried && !self->m_destroying) {
            self->m_hostCoversBar = false;
            if (self->m_bar) self->m_bar->setHidden(self->m_barHidden);
            // The container lays its bar out again first, so the screen takes its size once.
            emit self->transitionFinished();
            self->layoutContent();
        }
        if (newView && self->m_host) newView->setFrame(self->m_host->bounds());
        if (topChanged && visible) {
            if (from) from->endAppearanceTransition();
            if (to) to->endAppearanceTransition();
        }
        for (const auto& vc : removed) {
            // Still off the stack (not pushed back meanwhile): released.
            if (vc && vc->parentViewController() == self && !self->viewControllers().contains(vc))
                vc->removeFromParentViewController();
        }
        for (const auto& vc : added)
            if (vc && vc->parentViewController() == self) vc->didMoveToParentViewController(self);
        if (topChanged && self->m_delegate)
            self->m_delegate->navigationControllerDidShowViewController(self, to, animated);
    };

    if (!slides || !newView) {
        m_settingUpSlide = false;
        m_finishTransition = nullptr;
        finish(true);
        return;
    }

    // The bar changed since it was last drawn (before the transition or as its screens were
    // told): it comes or goes with the screen that shows it.
    const bool barShownAfter = !m_barHidden;
    m_barChangeUndrawn = false;
    if (barShownBefore != barShownAfter)
        m_carried.append({barShownBefore ? barBefore : pictureOf(navigationBar()),
                          m_bar->frame().size(), barShownBefore, true});
    m_settingUpSlide = false;
    const QList<Carried> carried = std::exchange(m_carried, {});
    m_hostCoversBar = barShownBefore != barShownAfter;
    if (m_hostCoversBar) m_bar->setHidden(true);
    layoutContent();

    // Where each screen rests in the host, beside the bars drawn as part of it.
    const QRectF host = m_host->bounds();
    auto restFrame = [&carried, host](bool outgoing) {
        double top = 0, bottom = 0;
        for (const Carried& c : carried)
            if (c.withOutgoing == outgoing) (c.atTop ? top : bottom) += c.size.height();
        return QRectF(0, top, host.width(), host.height() - top - bottom);
    };
    const QRectF b = restFrame(false);
    // The screen going away slides at the size it has (a screen resized while covered would
    // come back scrolled elsewhere), unless its own bar goes with it.
    QRectF away = restFrame(true);
    if (!m_hostCoversBar) away.setSize(oldView->frame().size());
    const bool push = direction == Direction::Push;
    struct Rider {
        QPointer<View> picture;
        QRectF rest;
        bool withOutgoing;
    };
    QList<Rider> riders;
    for (const Carried& c : carried) {
        const QRectF page = c.withOutgoing ? away : b;
        const double y = c.atTop ? page.top() - c.size.height() : page.bottom();
        auto* picture = new BarPicture(c.picture, m_host);
        // Just above its own screen: under the incoming one of a push, the outgoing one of a pop.
        if (c.withOutgoing == push) m_host->insertSubviewBelow(picture, push ? newView : oldView);
        riders.append({picture, QRectF(QPointF(0, y), c.size), c.withOutgoing});
        pictures->append(picture);
    }

    m_finishTransition = [] {};
    const double w = host.width();
    auto step = [oldView, newView, b, away, w, push, riders](double t) {
        const double inX = push ? w * (1 - t) : -w * kParallax * (1 - t);
        const double outX = push ? -w * kParallax * t : w * t;
        if (newView) newView->setFrame(b.translated(inX, 0));
        if (oldView) oldView->setFrame(away.translated(outX, 0));
        for (const Rider& r : riders)
            if (r.picture) r.picture->setFrame(r.rest.translated(r.withOutgoing ? outX : inX, 0));
    };
    step(0);
    Animation::run(this, kTransitionKey, kTransitionDuration, Animation::Curve::EaseInOut, step,
                   finish);
}

void NavigationController::setNavigationBarHidden(bool hidden, bool animated) {
    if (hidden == m_barHidden) return;
    // A slide under way ends first; one being set up takes the change with its screens.
    if (Animation::isRunning(this, kTransitionKey)) completeRunningTransition();
    if (m_settingUpSlide) animated = false;
    if (animated) {
        m_barChangeUndrawn = false;
    } else if (!m_barChangeUndrawn && isViewLoaded()) {
        // Until the event loop runs again nothing is drawn: a push or pop made before then
        // shows the change coming or going with its screen.
        m_barChangeUndrawn = true;
        m_barHiddenAsDrawn = m_barHidden;
        QPointer<NavigationController> self(this);
        QMetaObject::invokeMethod(
            this,
            [self] {
                if (self) self->m_barChangeUndrawn = false;
            },
            Qt::QueuedConnection);
    }
    m_barHidden = hidden;
    if (!isViewLoaded()) return;
    NavigationBar* bar = navigationBar();
    Animation::finish(this, kBarKey);
    if (!animated) {
        bar->setHidden(hidden);
        layoutContent();
        return;
    }
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
