#pragma once

#include "platform/foundation/Weak.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/ViewController.h"

#include <QList>

namespace ui {

class TabBar;
class TabBarController;

class TabBarControllerDelegate {
public:
    virtual ~TabBarControllerDelegate() = default;
    virtual bool tabBarControllerShouldSelectViewController(TabBarController* tbc,
                                                            ViewController* vc) {
        Q_UNUSED(tbc);
        Q_UNUSED(vc);
        return true;
    }
    virtual void tabBarControllerDidSelectViewController(TabBarController* tbc,
                                                         ViewController* vc) {
        Q_UNUSED(tbc);
        Q_UNUSED(vc);
    }
};

// Tabs of screens (usually navigation controllers) over a tab bar. It owns its screens. The bar
// hides while the selected tab's stack holds a screen that hides the bottom bar when pushed;
// when an animated push or pop hides or shows it, the stack draws it as part of the page that
// has it (see NavigationController).
class TabBarController : public ViewController {
    Q_OBJECT
public:
    explicit TabBarController(QObject* parent = nullptr);
    ~TabBarController() override;

    QList<ViewController*> viewControllers() const;
    // Screens dropped from the tabs are released. The selection stays on the same screen when it
    // remains, else falls back to the first tab.
    void setViewControllers(const QList<ViewController*>& vcs, bool animated = false);
    int selectedIndex() const { return m_selected; }
    // Programmatic selection: no delegate calls. An index out of range does nothing.
    void setSelectedIndex(int index);
    ViewController* selectedViewController() const;
    void setSelectedViewController(ViewController* vc);

    TabBar* tabBar();
    bool isTabBarHidden() const { return m_barHidden; }
    // Whether the bar lies along the foot of nav's screens: nav is the selected tab, and nothing
    // on its stack hides the bar.
    bool showsBarBelow(const NavigationController* nav) const;
    // While nav slides a page that has the bar over one that has not (or off it), nav draws the
    // bar with that page: it is hidden here and nav takes the whole height until it hands the
    // bar back, when both are laid out again.
    void lendBar(NavigationController* nav);
    void takeBarBack(NavigationController* nav);

    TabBarControllerDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(TabBarControllerDelegate* delegate) { m_delegate.reset(delegate); }

    // A touch on a tab, as the user makes it: asks the delegate, selects, reports. Touching the
    // selected tab of a navigation stack returns it to its root.
    void userSelectedIndex(int index);

protected:
    void loadView() override;
    QList<ViewController*> appearanceChildren() const override;
    void releaseChild(ViewController* child) override;

private:
    void select(int index);
    // Follows the selected stack's wishes.
    void updateBarVisibility();
    void layoutContent();
    void refreshItems();
    bool selectedWantsBarHidden() const;

    QList<QPointer<ViewController>> m_vcs;
    int m_selected = -1;
    QPointer<TabBar> m_bar;
    QPointer<View> m_host;
    bool m_barHidden = false;
    QPointer<NavigationController> m_barLentTo;
    ns::Weak<TabBarControllerDelegate> m_delegate;
};

} // namespace ui
