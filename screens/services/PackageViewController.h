#pragma once

#include "screens/shell/PlaceholderViewController.h"

// The package overview, opened from the home page by segue "RootViewToPackage".
class PackageViewController : public PlaceholderViewController {
    Q_OBJECT
public:
    explicit PackageViewController(QObject* parent = nullptr);
};
