#pragma once

#include "screens/shell/PlaceholderViewController.h"

// The family-network entry screen.
class FNRootViewController : public PlaceholderViewController {
    Q_OBJECT
public:
    explicit FNRootViewController(QObject* parent = nullptr);
};
