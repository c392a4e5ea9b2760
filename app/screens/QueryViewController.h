#pragma once

#include "app/screens/PlaceholderViewController.h"

// The query tab's root screen.
class QueryViewController : public PlaceholderViewController {
    Q_OBJECT
public:
    explicit QueryViewController(QObject* parent = nullptr);
};
