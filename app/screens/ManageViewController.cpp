#include "app/screens/ManageViewController.h"

#include "platform/ui/Storyboard.h"

TAVRIX_REGISTER_SCENE("Main", "ManageViewController", ManageViewController);

ManageViewController::ManageViewController(QObject* parent)
    : PlaceholderViewController("办理", parent) {}
