#include "app/screens/RootViewController.h"

#include "app/core/AppDelegate.h"
#include "app/core/NotificationNames.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Storyboard.h"

TAVRIX_REGISTER_SCENE("Main", "RootViewController", RootViewController);

RootViewController::RootViewController(QObject* parent)
    : PlaceholderViewController("首页", parent) {}

void RootViewController::viewDidLoad() {
    PlaceholderViewController::viewDidLoad();
    navigationItem()->setLeftBarButtonItem(
        new ui::BarButtonItem(ui::imageNamed("home_drawer"), ui::BarButtonItem::Style::Plain,
                              [this] { slideButtonPressed(nullptr); }));
}

void RootViewController::viewWillAppear(bool animated) {
    PlaceholderViewController::viewWillAppear(animated);
    ns::NotificationCenter::defaultCenter().postNotificationName(
        notification::kAddPanGestureToRootView);
}

void RootViewController::viewDidAppear(bool animated) {
    PlaceholderViewController::viewDidAppear(animated);
    if (AppDelegate* app = AppDelegate::sharedDelegate()) app->replayURLOfAwakenByOther(this);
}

void RootViewController::viewWillDisappear(bool animated) {
    ns::NotificationCenter::defaultCenter().postNotificationName(
        notification::kRemovePanGestureFromRootView);
    PlaceholderViewController::viewWillDisappear(animated);
}

void RootViewController::slideButtonPressed(QObject*) {
    ns::NotificationCenter::defaultCenter().postNotificationName(notification::kShowSideSlipView);
}

double RootViewController::scrollContentHeight() const {
    return hidesBottomBarWhenPushed() ? ViewController::scrollContentHeight() : 456;
}
