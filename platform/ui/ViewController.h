#pragma once

#include "platform/ui/View.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

namespace ui {

class NavigationController;
class NavigationItem;
class StoryboardSegue;
class TabBarController;
class TabBarItem;
class View;

// A screen: owns its root view (made on first use), receives the appearance calls of the
// container that shows it, and may hold child screens and present one screen modally.
//
// Ownership: a screen belongs to whatever holds it (a container's stack or tabs, a parent
// screen, its presenter, a window). A screen released by its holder is deleted on the next
// pass of the event loop unless something has taken it up again by then, so code still running
// on it (a button handler that popped it) finishes safely.
class ViewController : public QObject {
    Q_OBJECT
public:
    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };

    explicit ViewController(QObject* parent = nullptr);
    ~ViewController() override;

    // --- The view ---
    // Loads the view on first use: loadView(), embed segues, then viewDidLoad().
    View* view();
    bool isViewLoaded() const { return m_view != nullptr; }
    // Takes ownership of the view. Setting a view marks it loaded without viewDidLoad.
    void setView(View* view);
    void loadViewIfNeeded() { view(); }
    // The screen whose root view is exactly view, if any.
    static ViewController* viewControllerForView(const View* view);
    // The screen owning view or its nearest ancestor view, if any.
    static ViewController* enclosingViewController(const View* view);

    // --- Life cycle (subclasses call the base first) ---
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool animated) { Q_UNUSED(animated); }
    virtual void viewDidAppear(bool animated) { Q_UNUSED(animated); }
    virtual void viewWillDisappear(bool animated) { Q_UNUSED(animated); }
    virtual void viewDidDisappear(bool animated) { Q_UNUSED(animated); }
    // Containers (and tests standing in for a window) drive appearance with these pairs.
    // Repeated or out-of-order calls are ignored, so each callback runs once per transition.
    void beginAppearanceTransition(bool isAppearing, bool animated);
    void endAppearanceTransition();
    Appearance appearance() const { return m_appearance; }
    bool isVisible() const { return m_appearance != Appearance::Disappeared; }

    // --- Identity ---
    QString title() const { return m_title; }
    // Also the navigation item's title, as the bar shows it.
    void setTitle(const QString& title);
    NavigationItem* navigationItem();
    TabBarItem* tabBarItem();
    bool hidesBottomBarWhenPushed() const { return m_hidesBottomBar; }
    void setHidesBottomBarWhenPushed(bool hides) { m_hidesBottomBar = hides; }
    QString storyboardName() const { return m_storyboardName; }
    QString storyboardIdentifier() const { return m_storyboardIdentifier; }
    void setStoryboardIdentity(const QString& storyboard, const QString& identifier);

    // --- Containment ---
    ViewController* parentViewController() const { return m_parentVC; }
    QList<ViewController*> childViewControllers() const;
    // Takes ownership; calls willMoveToParentViewController(this) on the child.
    void addChildViewController(ViewController* child);
    // Calls didMoveToParentViewController(nullptr) and releases this screen.
    void removeFromParentViewController();
    virtual void willMoveToParentViewController(ViewController* parent) { Q_UNUSED(parent); }
    virtual void didMoveToParentViewController(ViewController* parent) { Q_UNUSED(parent); }
    // The nearest navigation / tab-bar controller among the ancestors.
    NavigationController* navigationController() const;
    TabBarController* tabBarController() const;

    // --- Modal presentation ---
    // The presentation is made by the outermost ancestor; it covers the window. The presenter
    // disappears while the presented screen is up. A second presentation from a context that
    // already presents is refused (the refused screen is released).
    void presentViewController(ViewController* vc, bool animated,
                               std::function<void()> completion = {});
    // Dismisses what this screen presents or, when it presents nothing, this screen itself.
    // The completion always runs, even when there is nothing to dismiss.
    void dismissViewControllerAnimated(bool animated, std::function<void()> completion = {});
    ViewController* presentedViewController() const;
    ViewController* presentingViewController() const;

    // --- Segues ---
    // Builds the destination registered for this screen (by its scene identifier or class),
    // calls prepareForSegue, then pushes or presents it. An unknown identifier or scene does
    // nothing.
    void performSegueWithIdentifier(const QString& identifier, QObject* sender);
    virtual void prepareForSegue(StoryboardSegue* segue, QObject* sender) {
        Q_UNUSED(segue);
        Q_UNUSED(sender);
    }

    // --- What the screen lays over the window ---
    // A dialog, sheet or overlay this screen put over the whole window, above every screen:
    // dismiss takes it away as soon as the screen begins to leave the window or is destroyed,
    // so nothing of a screen that has gone covers the next one and takes its clicks. dismiss
    // runs at most once and never after item has gone; on destruction it runs once the
    // screen's own guarded pointers read null, so whatever it reports cannot reach the screen.
    void keepOverWindowWhileShown(QObject* item, std::function<void()> dismiss);

    // Hands a screen no longer held by anyone to deferred deletion (see the class note).
    static void releaseLater(ViewController* vc);

protected:
    // Makes the root view; the default is a white 320 x 568 view.
    virtual void loadView();
    // The children that follow this screen's appearance; by default those whose views lie in
    // this screen's view. Containers answer their visible child.
    virtual QList<ViewController*> appearanceChildren() const;
    // Takes child off this screen's books without releasing it (it is moving elsewhere).
    virtual void releaseChild(ViewController* child);

private:
    friend class NavigationController;
    friend class TabBarController;
    void setParentViewController(ViewController* parent);
    void performEmbedSegues();
    ViewController* presentationContext();
    void finishPresentation(ViewController* presented, bool animated, std::function<void()> done);

    QPointer<View> m_view;
    bool m_loading = false;
    Appearance m_appearance = Appearance::Disappeared;
    bool m_transitionAnimated = false;
    QList<QPointer<ViewController>> m_forwarded;
    QString m_title;
    NavigationItem* m_navigationItem = nullptr;
    TabBarItem* m_tabBarItem = nullptr;
    bool m_hidesBottomBar = false;
    QString m_storyboardName;
    QString m_storyboardIdentifier;
    QPointer<ViewController> m_parentVC;
    QList<QPointer<ViewController>> m_children;
    QPointer<ViewController> m_presented;
    QPointer<ViewController> m_presenting;
    bool m_dismissing = false;
    bool m_coveredByPresentation = false;
    struct WindowItem {
        QPointer<QObject> item;
        std::shared_ptr<std::function<void()>> dismiss; // emptied once it has run
    };
    QList<WindowItem> m_windowItems;
    void dismissWindowItems();
};

} // namespace ui
