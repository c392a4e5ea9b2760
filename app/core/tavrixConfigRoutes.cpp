#include "app/core/tavrixConfig.h"

#include <QDebug>

#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TabBarController.h"

namespace {

// The screen at the bottom of a tab's stack (the tab's own screen when it is no stack).
ui::ViewController* firstScreenOf(ui::ViewController* tab) {
    if (auto* nav = qobject_cast<ui::NavigationController*>(tab)) {
        const QList<ui::ViewController*> stack = nav->viewControllers();
        return stack.isEmpty() ? nullptr : stack.first();
    }
    return tab;
}

} // namespace

const QStringList& tavrixConfig::tabRootNames() {
    static const QStringList names{"RootViewController", "QueryViewController",
                                   "ManageViewController", "DiscountViewController"};
    return names;
}

ui::ViewController* tavrixConfig::getViewControllerWithString(const QString& route) {
    const QStringList parts = route.split('&');
    if (parts.size() < 2) return nullptr;
    return ui::Storyboard::instantiateViewController(parts[0], parts[1]);
}

const QStringList& tavrixConfig::refusedRouteScenes() {
    static const QStringList scenes{
        "DefaultVC",
        "GuideViewController",
        "LoginViewController",
        "NavbarViewController",
        "SkatingRinkViewController",
        "SideSlipViewController",
        "TabBarViewController",
    };
    return scenes;
}

ui::ViewController* tavrixConfig::getViewControllerForOutsideRoute(const QString& route) {
    const QStringList parts = route.split('&');
    if (parts.size() >= 2 && refusedRouteScenes().contains(parts[1])) {
        qWarning().noquote() << "refused route to" << parts[1];
        return nullptr;
    }
    ui::ViewController* screen = getViewControllerWithString(route);
    if (!screen) return nullptr;
    // The scene names are also the class names: a refused class registered under another
    // name, or any stack or tab container, is refused as well.
    bool refused = qobject_cast<ui::NavigationController*>(screen) ||
                   qobject_cast<ui::TabBarController*>(screen);
    for (const QString& name : refusedRouteScenes())
        refused = refused || screen->inherits(name.toLatin1().constData());
    if (!refused) return screen;
    qWarning().noquote() << "refused route to" << screen->metaObject()->className();
    // Just made and shown nowhere: nothing else holds it yet.
    delete screen;
    return nullptr;
}

bool tavrixConfig::isViewController(const QString& className,
                                    ui::TabBarController* embedInTabBarController) {
    if (!embedInTabBarController || className.isEmpty()) return false;
    const QByteArray name = className.toLatin1();
    for (ui::ViewController* tab : embedInTabBarController->viewControllers()) {
        ui::ViewController* first = firstScreenOf(tab);
        if (first && first->inherits(name.constData())) return true;
    }
    return false;
}

int tavrixConfig::indexOfViewController(const QString& className,
                                        ui::TabBarController* inTabBarController) {
    if (!inTabBarController || className.isEmpty()) return 0;
    const QByteArray name = className.toLatin1();
    const QList<ui::ViewController*> tabs = inTabBarController->viewControllers();
    for (int i = 0; i < tabs.size(); ++i) {
        ui::ViewController* first = firstScreenOf(tabs[i]);
        if (first && first->inherits(name.constData())) return i;
    }
    return 0;
}
