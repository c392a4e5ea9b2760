#pragma once

#include "app/screens/PlaceholderViewController.h"

// The manage tab's root screen.
class ManageViewController : public PlaceholderViewController {
    Q_OBJECT
public:
    explicit ManageViewController(QObject* parent = nullptr);
};
