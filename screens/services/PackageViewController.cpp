#include "screens/services/PackageViewController.h"

#include "platform/ui/Storyboard.h"

TAVRIX_REGISTER_SCENE("Main", "PackageViewController", PackageViewController);
TAVRIX_REGISTER_SEGUE("RootViewController", "RootViewToPackage", Push, "Main",
                      "PackageViewController");

PackageViewController::PackageViewController(QObject* parent)
    : PlaceholderViewController("我的套餐", parent) {}
