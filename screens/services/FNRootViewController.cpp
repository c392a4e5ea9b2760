#include "screens/services/FNRootViewController.h"

#include "platform/ui/Storyboard.h"

TAVRIX_REGISTER_SCENE("Main", "FNRootViewController", FNRootViewController);

FNRootViewController::FNRootViewController(QObject* parent)
    : PlaceholderViewController("亲情网", parent) {}
