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
// when an animated push or pop hides or shows it, it leaves with the outgoing page or comes with
// the incoming one, drawn as part of that page.
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
    // Follows the selected stack's wishes; a change made by nav's slide travels with its page.
    void updateBarVisibility(NavigationController* sliding = nullptr);
    void slideFinished(NavigationController* nav);
    void layoutContent();
    void refreshItems();
    bool selectedWantsBarHidden() const;

    QList<QPointer<ViewController>> m_vcs;
    int m_selected = -1;
    QPointer<TabBar> m_bar;
    QPointer<View> m_host;
    bool m_barHidden = false;
    // The bar is drawn by the selected stack as part of a sliding page until the slide ends.
    bool m_barTravelling = false;
    ns::Weak<TabBarControllerDelegate> m_delegate;
};

} // namespace ui
