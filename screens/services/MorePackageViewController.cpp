#include "screens/services/MorePackageViewController.h"

#include "platform/ui/Storyboard.h"

TAVRIX_REGISTER_SCENE("Main", "MorePackageViewController", MorePackageViewController);

MorePackageViewController::MorePackageViewController(QObject* parent)
    : PlaceholderViewController("更多套餐", parent) {}
