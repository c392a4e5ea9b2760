#include "platform/ui/TabBarController.h"

#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/TabBarItem.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

namespace ui {

TabBarController::TabBarController(QObject* parent) : ViewController(parent) {}

TabBarController::~TabBarController() {
    if (m_bar && !m_bar->parentWidget()) delete m_bar;
}

QList<ViewController*> TabBarController::viewControllers() const {
    QList<ViewController*> out;
    for (const auto& vc : m_vcs)
        if (vc) out.append(vc);
    return out;
}

ViewController* TabBarController::selectedViewController() const {
    const QList<ViewController*> vcs = viewControllers();
    return m_selected >= 0 && m_selected < vcs.size() ? vcs.at(m_selected) : nullptr;
}

TabBar* TabBarController::tabBar() {
    if (!m_bar) {
        m_bar = new TabBar;
        QPointer<TabBarController> self(this);
        m_bar->setTouchHandler([self](int index) {
            if (self) self->userSelectedIndex(index);
        });
        refreshItems();
    }
    return m_bar;
}

void TabBarController::refreshItems() {
    if (!m_bar) return;
    QList<TabBarItem*> items;
    for (ViewController* vc : viewControllers())
        items.append(vc->tabBarItem());
    m_bar->setItems(items);
    m_bar->setSelectedIndex(m_selected);
}

void TabBarController::loadView() {
    auto* v = new View(QRectF(QPointF(), Window::screenSize()));
    v->setBackgroundColor(Qt::white);
    m_host = new View(v);
    v->addSubview(tabBar());
    setView(v);
    connect(v, &View::frameChanged, this, &TabBarController::layoutContent);
    if (ViewController* vc = selectedViewController()) m_host->addSubview(vc->view());
    m_barHidden = selectedWantsBarHidden();
    layoutContent();
}

void TabBarController::layoutContent() {
    if (!isViewLoaded() || !m_host) return;
    const QRectF b = view()->bounds();
    m_bar->setFrame(QRectF(0, b.height() - TabBar::kHeight, b.width(), TabBar::kHeight));
    m_host->setFrame(b);
    const bool lent = m_barLentTo && m_barLentTo == selectedViewController();
    m_bar->setHidden(m_barHidden || lent);
    const QRectF content = m_barHidden || lent ? b : b.adjusted(0, 0, 0, -TabBar::kHeight);
    if (ViewController* vc = selectedViewController(); vc && vc->isViewLoaded())
        vc->view()->setFrame(content);
}

QList<ViewController*> TabBarController::appearanceChildren() const {
    if (ViewController* vc = selectedViewController(); vc && isViewLoaded()) return {vc};
    return {};
}

void TabBarController::releaseChild(ViewController* child) {
    ViewController* selected = selectedViewController();
    const bool wasSelected = child == selected;
    m_vcs.removeAll(child);
    if (!wasSelected) m_selected = int(viewControllers().indexOf(selected));
    ViewController::releaseChild(child);
    disconnect(child, nullptr, this, nullptr);
    if (child->isViewLoaded() && child->view()->superview() == m_host)
        child->view()->removeFromSuperview();
    if (m_selected >= m_vcs.size() || wasSelected) {
        m_selected = -1;
        if (!m_vcs.isEmpty()) select(0);
    }
    refreshItems();
}

bool TabBarController::selectedWantsBarHidden() const {
    auto* nav = qobject_cast<NavigationController*>(selectedViewController());
    if (!nav) return false;
    // Once a screen that hides the bar is on the stack, the bar stays hidden until it is popped.
    for (ViewController* vc : nav->viewControllers())
        if (vc->hidesBottomBarWhenPushed()) return true;
    return false;
}

void TabBarController::updateBarVisibility() {
    m_barHidden = selectedWantsBarHidden();
    layoutContent();
}

bool TabBarController::showsBarBelow(const NavigationController* nav) const {
    return nav && nav == selectedViewController() && isViewLoaded() && !m_barHidden;
}

void TabBarController::lendBar(NavigationController* nav) {
    m_barLentTo = nav;
    layoutContent();
}

void TabBarController::takeBarBack(NavigationController* nav) {
    if (m_barLentTo == nav) m_barLentTo = nullptr;
    layoutContent();
}

void TabBarController::setViewControllers(const QList<ViewController*>& vcs, bool animated) {
    Q_UNUSED(animated);
    QList<ViewController*> list;
    for (ViewController* vc : vcs) {
        if (!vc || vc == this || list.contains(vc)) continue;
        bool ancestor = false;
        for (ViewController* a = this; a && !ancestor; a = a->parentViewController())
            ancestor = a == vc;
        if (!ancestor) list.append(vc);
    }
    ViewController* oldSelected = selectedViewController();
    const QList<ViewController*> old = viewControllers();
    for (ViewController* vc : old) {
        if (list.contains(vc)) continue;
        if (vc == oldSelected && isVisible()) {
            vc->beginAppearanceTransition(false, false);
            vc->endAppearanceTransition();
        }
        disconnect(vc, nullptr, this, nullptr);
        if (vc->isViewLoaded() && vc->view()->superview() == m_host)
            vc->view()->removeFromSuperview();
        vc->willMoveToParentViewController(nullptr);
        m_vcs.removeAll(vc);
        vc->removeFromParentViewController();
    }
    m_vcs.clear();
    for (ViewController* vc : list) {
        const bool isNew = !old.contains(vc);
        if (isNew) addChildViewController(vc);
        m_vcs.append(vc);
        if (isNew) {
            if (auto* nav = qobject_cast<NavigationController*>(vc)) {
                connect(nav, &NavigationController::stackChanged, this,
                        [this](bool) { updateBarVisibility(); });
            }
            vc->didMoveToParentViewController(this);
        }
    }
    const int keep = oldSelected ? int(list.indexOf(oldSelected)) : -1;
    m_selected = -1;
    refreshItems();
    if (keep >= 0) {
        m_selected = keep;
        if (m_bar) m_bar->setSelectedIndex(keep);
        updateBarVisibility();
    } else if (!list.isEmpty()) {
        select(0);
    }
}

void TabBarController::setSelectedIndex(int index) {
    if (index < 0 || index >= m_vcs.size() || index == m_selected) return;
    select(index);
}

void TabBarController::setSelectedViewController(ViewController* vc) {
    const int index = int(viewControllers().indexOf(vc));
    if (index >= 0) setSelectedIndex(index);
}

void TabBarController::select(int index) {
    ViewController* old = selectedViewController();
    m_selected = index;
    ViewController* now = selectedViewController();
    if (m_bar) m_bar->setSelectedIndex(index);
    const bool visible = isVisible() && isViewLoaded();
    if (old == now) return;
    if (visible) {
        if (old) old->beginAppearanceTransition(false, false);
        if (now) now->beginAppearanceTransition(true, false);
    }
    if (isViewLoaded() && m_host) {
        if (old && old->isViewLoaded() && old->view()->superview() == m_host)
            old->view()->removeFromSuperview();
        if (now) {
            m_host->addSubview(now->view());
            m_host->bringSubviewToFront(now->view());
        }
    }
    updateBarVisibility();
    if (visible) {
        if (old) old->endAppearanceTransition();
        if (now) now->endAppearanceTransition();
    }
}

void TabBarController::userSelectedIndex(int index) {
    const QList<ViewController*> vcs = viewControllers();
    if (index < 0 || index >= vcs.size()) return;
    ViewController* vc = vcs.at(index);
    QPointer<TabBarController> self(this);
    if (m_delegate && !m_delegate->tabBarControllerShouldSelectViewController(this, vc)) return;
    if (!self) return;
    if (index == m_selected) {
        if (auto* nav = qobject_cast<NavigationController*>(vc))
            nav->popToRootViewControllerAnimated(true);
    } else {
        select(index);
    }
    if (self && m_delegate) m_delegate->tabBarControllerDidSelectViewController(this, vc);
}

} // namespace ui
