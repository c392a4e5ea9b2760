#include "screens/services/OrderedViewController.h"

#include "platform/ui/Storyboard.h"

TAVRIX_REGISTER_SCENE("Main", "OrderedViewController", OrderedViewController);
TAVRIX_REGISTER_SEGUE("RootViewController", "RootViewToOrdered", Push, "Main",
                      "OrderedViewController");

OrderedViewController::OrderedViewController(QObject* parent)
    : PlaceholderViewController("已订业务", parent) {}
