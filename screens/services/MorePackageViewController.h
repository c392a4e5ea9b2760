#pragma once

#include "screens/shell/PlaceholderViewController.h"

// The list of further packages.
class MorePackageViewController : public PlaceholderViewController {
    Q_OBJECT
public:
    explicit MorePackageViewController(QObject* parent = nullptr);
};
