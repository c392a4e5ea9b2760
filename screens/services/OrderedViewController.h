#pragma once

#include "screens/shell/PlaceholderViewController.h"

// The ordered services, opened from the home page by segue "RootViewToOrdered".
class OrderedViewController : public PlaceholderViewController {
    Q_OBJECT
public:
    explicit OrderedViewController(QObject* parent = nullptr);
};
