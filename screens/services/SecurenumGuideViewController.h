#pragma once

#include "screens/shell/PlaceholderViewController.h"

// The secondary-number guide.
class SecurenumGuideViewController : public PlaceholderViewController {
    Q_OBJECT
public:
    explicit SecurenumGuideViewController(QObject* parent = nullptr);
};
