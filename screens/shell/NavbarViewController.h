#pragma once

#include "platform/ui/NavigationController.h"

// The application's navigation controller, with the brand-coloured bar.
class NavbarViewController : public ui::NavigationController {
    Q_OBJECT
public:
    explicit NavbarViewController(ui::ViewController* root = nullptr, QObject* parent = nullptr);
    void viewDidLoad() override;
};
