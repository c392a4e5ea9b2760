#include "app/screens/QueryViewController.h"

#include "platform/ui/Storyboard.h"

TAVRIX_REGISTER_SCENE("Main", "QueryViewController", QueryViewController);

QueryViewController::QueryViewController(QObject* parent)
    : PlaceholderViewController("查询", parent) {}
