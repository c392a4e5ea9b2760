#include "platform/ui/ViewController.h"

#include "platform/ui/Animation.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/TabBarItem.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <QCoreApplication>
#include <QDebug>
#include <utility>

namespace ui {

namespace {
constexpr const char* kOwnerProperty = "_ui_viewController";
constexpr const char* kPresentationKey = "presentation";
constexpr double kPresentationDuration = 0.4;
} // namespace

ViewController::ViewController(QObject* parent) : QObject(parent) {}

ViewController::~ViewController() {
    if (m_presenting && m_presenting->m_presented == this) m_presenting->m_presented = nullptr;
    if (m_presented) {
        ViewController* presented = m_presented;
        m_presented = nullptr;
        presented->m_presenting = nullptr;
        delete presented;
    }
    if (m_parentVC) m_parentVC->m_children.removeAll(this);
    if (m_view) {
        m_view->setProperty(kOwnerProperty, QVariant());
        delete m_view.data();
    }
}

View* ViewController::view() {
    if (!m_view && !m_loading) {
        m_loading = true;
        loadView();
        if (!m_view) setView(new View(QRectF(QPointF(), Window::screenSize())));
        performEmbedSegues();
        m_loading = false;
        viewDidLoad();
    }
    return m_view;
}

void ViewController::loadView() {
    auto* v = new View(QRectF(QPointF(), Window::screenSize()));
    v->setBackgroundColor(Qt::white);
    setView(v);
}

void ViewController::setView(View* view) {
    if (view == m_view) return;
    if (m_view) {
        View* old = m_view;
        old->setProperty(kOwnerProperty, QVariant());
        old->removeFromSuperview();
        old->deleteLater();
    }
    m_view = view;
    if (view) view->setProperty(kOwnerProperty, QVariant::fromValue<QObject*>(this));
}

ViewController* ViewController::viewControllerForView(const View* view) {
    if (!view) return nullptr;
    return qobject_cast<ViewController*>(view->property(kOwnerProperty).value<QObject*>());
}

ViewController* ViewController::enclosingViewController(const View* view) {
    for (const View* v = view; v; v = v->superview())
        if (ViewController* vc = viewControllerForView(v)) return vc;
    return nullptr;
}

void ViewController::performEmbedSegues() {
    for (const Storyboard::Segue& s : Storyboard::embedSeguesFor(this)) {
        ViewController* dest =
            Storyboard::instantiateViewController(s.destinationStoryboard, s.destinationIdentifier);
        if (!dest) continue;
        QPointer<ViewController> guard(dest);
        StoryboardSegue segue(s.identifier, StoryboardSegue::Kind::Embed, this, dest);
        prepareForSegue(&segue, nullptr);
        if (!guard) continue;
        addChildViewController(dest);
        View* container = s.containerTag != 0 ? m_view->viewWithTag(s.containerTag) : nullptr;
        if (!container) container = m_view;
        View* child = dest->view();
        child->setFrame(container->bounds());
        container->addSubview(child);
        dest->didMoveToParentViewController(this);
    }
}

// --- Appearance ---

void ViewController::beginAppearanceTransition(bool isAppearing, bool animated) {
    if (isAppearing) {
        if (m_appearance == Appearance::Appearing || m_appearance == Appearance::Appeared) return;
        view();
        m_appearance = Appearance::Appearing;
        m_transitionAnimated = animated;
        viewWillAppear(animated);
    } else {
        if (m_appearance == Appearance::Disappearing || m_appearance == Appearance::Disappeared)
            return;
        dismissWindowItems();
        m_appearance = Appearance::Disappearing;
        m_transitionAnimated = animated;
        viewWillDisappear(animated);
    }
    m_forwarded.clear();
    for (ViewController* child : appearanceChildren()) {
        m_forwarded.append(child);
        child->beginAppearanceTransition(isAppearing, animated);
    }
}

void ViewController::endAppearanceTransition() {
    if (m_appearance == Appearance::Appearing) {
        m_appearance = Appearance::Appeared;
        viewDidAppear(m_transitionAnimated);
    } else if (m_appearance == Appearance::Disappearing) {
        m_appearance = Appearance::Disappeared;
        viewDidDisappear(m_transitionAnimated);
    } else {
        return;
    }
    const auto forwarded = m_forwarded;
    m_forwarded.clear();
    for (const auto& child : forwarded)
        if (child) child->endAppearanceTransition();
}

void ViewController::keepOverWindowWhileShown(QObject* item, std::function<void()> dismiss) {
    if (!item || !dismiss) return;
    auto once = std::make_shared<std::function<void()>>(std::move(dismiss));
    m_windowItems.removeIf([](const WindowItem& w) { return !w.item; });
    m_windowItems.append({item, once});
    // destroyed comes after the QPointers to this screen have cleared; the connection goes
    // with item if item goes first.
    connect(this, &QObject::destroyed, item, [once] {
        if (auto run = std::exchange(*once, {})) run();
    });
}

void ViewController::dismissWindowItems() {
    const auto items = std::exchange(m_windowItems, {});
    for (const WindowItem& w : items)
        if (w.item && *w.dismiss) std::exchange(*w.dismiss, {})();
}

QList<ViewController*> ViewController::appearanceChildren() const {
    QList<ViewController*> out;
    if (!m_view) return out;
    for (const auto& child : m_children)
        if (child && child->m_view && child->m_view->isDescendantOf(m_view)) out.append(child);
    return out;
}

// --- Identity ---

void ViewController::setTitle(const QString& title) {
    m_title = title;
    navigationItem()->setTitle(title);
}

NavigationItem* ViewController::navigationItem() {
    if (!m_navigationItem) {
        m_navigationItem = new NavigationItem(this);
        m_navigationItem->setTitle(m_title);
    }
    return m_navigationItem;
}

TabBarItem* ViewController::tabBarItem() {
    if (!m_tabBarItem) {
        m_tabBarItem = new TabBarItem(this);
        m_tabBarItem->setTitle(m_title);
    }
    return m_tabBarItem;
}

void ViewController::setStoryboardIdentity(const QString& storyboard, const QString& identifier) {
    m_storyboardName = storyboard;
    m_storyboardIdentifier = identifier;
}

// --- Containment ---

QList<ViewController*> ViewController::childViewControllers() const {
    QList<ViewController*> out;
    for (const auto& c : m_children)
        if (c) out.append(c);
    return out;
}

void ViewController::addChildViewController(ViewController* child) {
    if (!child || child == this || child->m_parentVC == this) return;
    for (ViewController* a = this; a; a = a->m_parentVC)
        if (a == child) return; // a screen cannot hold its own ancestor
    if (ViewController* old = child->m_parentVC) old->releaseChild(child);
    child->willMoveToParentViewController(this);
    child->setParentViewController(this);
}

void ViewController::setParentViewController(ViewController* parent) {
    if (m_parentVC) m_parentVC->m_children.removeAll(this);
    m_parentVC = parent;
    if (parent) {
        parent->m_children.append(this);
        setParent(parent);
    }
}

void ViewController::releaseChild(ViewController* child) {
    child->m_parentVC = nullptr;
    m_children.removeAll(child);
}

void ViewController::removeFromParentViewController() {
    if (!m_parentVC) return;
    setParentViewController(nullptr);
    setParent(nullptr);
    didMoveToParentViewController(nullptr);
    releaseLater(this);
}

NavigationController* ViewController::navigationController() const {
    for (ViewController* p = m_parentVC; p; p = p->m_parentVC)
        if (auto* nav = qobject_cast<NavigationController*>(p)) return nav;
    return nullptr;
}

TabBarController* ViewController::tabBarController() const {
    for (ViewController* p = m_parentVC; p; p = p->m_parentVC)
        if (auto* tabs = qobject_cast<TabBarController*>(p)) return tabs;
    return nullptr;
}

void ViewController::releaseLater(ViewController* vc) {
    if (!vc || !QCoreApplication::instance()) return;
    QPointer<ViewController> guard(vc);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [guard] {
            // Taken up again meanwhile (pushed elsewhere, made a window's root): keep it.
            if (guard && !guard->parent() && !guard->m_parentVC && !guard->m_presenting)
                delete guard.data();
        },
        Qt::QueuedConnection);
}

// --- Presentation ---

ViewController* ViewController::presentationContext() {
    ViewController* c = this;
    while (c->m_parentVC)
        c = c->m_parentVC;
    return c;
}

ViewController* ViewController::presentedViewController() const {
    for (const ViewController* c = this; c; c = c->m_parentVC)
        if (c->m_presented) return c->m_presented;
    return nullptr;
}

ViewController* ViewController::presentingViewController() const {
    for (const ViewController* c = this; c; c = c->m_parentVC)
        if (c->m_presenting) return c->m_presenting;
    return nullptr;
}

void ViewController::presentViewController(ViewController* vc, bool animated,
                                           std::function<void()> completion) {
    if (!vc || vc == this) return;
    ViewController* ctx = presentationContext();
    // A dismissal still animating is completed first, so the new screen is not refused.
    Animation::finish(ctx, kPresentationKey);
    if (ctx->m_presented || vc->m_presenting || vc == ctx) {
        qWarning() << "ui::ViewController: refused to present" << vc->metaObject()->className()
                   << "while" << ctx->metaObject()->className() << "already presents";
        if (!vc->parent() && !vc->m_parentVC && !vc->m_presenting) releaseLater(vc);
        return;
    }
    if (ViewController* old = vc->m_parentVC) old->releaseChild(vc);
    vc->setParent(ctx);
    vc->m_presenting = ctx;
    ctx->m_presented = vc;

    View* v = vc->view();
    Window* window = ctx->m_view ? Window::windowForView(ctx->m_view) : nullptr;
    View* layer = window ? window->presentationLayer() : nullptr;
    const QRectF full = layer ? layer->bounds() : QRectF(QPointF(), Window::screenSize());
    v->setFrame(full);
    if (layer) layer->addSubview(v);

    const bool visible = ctx->isVisible();
    ctx->m_coveredByPresentation = visible;
    if (visible) {
        ctx->beginAppearanceTransition(false, animated);
        vc->beginAppearanceTransition(true, animated);
    }
    QPointer<ViewController> c(ctx), p(vc);
    QPointer<View> pv(v);
    auto done = [c, p, visible, completion](bool) {
        if (visible) {
            if (c) c->endAppearanceTransition();
            if (p) p->endAppearanceTransition();
        }
        if (completion) completion();
    };
    if (animated && layer) {
        Animation::run(
            ctx, kPresentationKey, kPresentationDuration, Animation::Curve::EaseOut,
            [pv, full](double t) {
                if (pv) pv->setFrame(full.translated(0, full.height() * (1 - t)));
            },
            done);
    } else {
        done(true);
    }
}

void ViewController::dismissViewControllerAnimated(bool animated,
                                                   std::function<void()> completion) {
    ViewController* ctx = nullptr;
    for (ViewController* c = this; c && !ctx; c = c->m_parentVC)
        if (c->m_presented) ctx = c;
    if (!ctx) ctx = presentationContext()->m_presenting;
    if (!ctx || !ctx->m_presented) {
        if (completion) completion();
        return;
    }
    ctx->finishPresentation(ctx->m_presented, animated, std::move(completion));
}

void ViewController::finishPresentation(ViewController* presented, bool animated,
                                        std::function<void()> done) {
    if (m_dismissing) {
        // Already going: the caller's completion runs when it is gone.
        Animation::finish(this, kPresentationKey);
        if (done) done();
        return;
    }
    // A presentation still sliding in completes first, so each screen's calls stay paired.
    Animation::finish(this, kPresentationKey);
    if (m_presented != presented) {
        if (done) done();
        return;
    }
    // Screens presented above this one go first, without animation.
    if (ViewController* above = presented->m_presented)
        presented->finishPresentation(above, false, {});
    m_dismissing = true;
    const bool presentedVisible = presented->isVisible();
    const bool restore = m_coveredByPresentation;
    if (presentedVisible) presented->beginAppearanceTransition(false, animated);
    if (restore) beginAppearanceTransition(true, animated);

    QPointer<ViewController> self(this), p(presented);
    QPointer<View> pv = presented->m_view;
    auto finish = [self, p, pv, presentedVisible, restore, done](bool) {
        if (pv) pv->removeFromSuperview();
        if (p && presentedVisible) p->endAppearanceTransition();
        if (self) {
            if (restore) self->endAppearanceTransition();
            self->m_coveredByPresentation = false;
            self->m_dismissing = false;
            if (self->m_presented == p) self->m_presented = nullptr;
        }
        if (p) {
            p->m_presenting = nullptr;
            p->setParent(nullptr);
            releaseLater(p);
        }
        if (done) done();
    };
    if (animated && pv && pv->superview()) {
        const QRectF from = pv->frame();
        Animation::run(
            this, kPresentationKey, kPresentationDuration, Animation::Curve::EaseIn,
            [pv, from](double t) {
                if (pv) pv->setFrame(from.translated(0, from.height() * t));
            },
            finish);
    } else {
        finish(true);
    }
}

// --- Segues ---

void ViewController::performSegueWithIdentifier(const QString& identifier, QObject* sender) {
    const auto segue = Storyboard::segueFor(this, identifier);
    if (!segue) {
        qWarning() << "ui::ViewController:" << metaObject()->className() << "has no segue"
                   << identifier;
        return;
    }
    ViewController* dest = Storyboard::instantiateViewController(segue->destinationStoryboard,
                                                                 segue->destinationIdentifier);
    if (!dest) return;
    QPointer<ViewController> guard(dest);
    StoryboardSegue s(identifier, segue->kind, this, dest);
    prepareForSegue(&s, sender);
    if (!guard) return;
    switch (segue->kind) {
    case StoryboardSegue::Kind::Push:
        if (NavigationController* nav = navigationController()) {
            nav->pushViewController(dest, true);
            break;
        }
        presentViewController(dest, true);
        break;
    case StoryboardSegue::Kind::Modal:
        presentViewController(dest, true);
        break;
    case StoryboardSegue::Kind::Embed: {
        addChildViewController(dest);
        View* host = view();
        View* container = segue->containerTag != 0 ? host->viewWithTag(segue->containerTag) : host;
        if (!container) container = host;
        View* child = dest->view();
        child->setFrame(container->bounds());
        container->addSubview(child);
        dest->didMoveToParentViewController(this);
        break;
    }
    }
}

} // namespace ui
