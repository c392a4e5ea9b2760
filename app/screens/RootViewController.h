#pragma once

#include "app/screens/PlaceholderViewController.h"

// The home page, first tab of the drawer container. Until the full page exists it shows its
// title and does what the shell needs of it: the drawer button and drag, and opening a URL
// that arrived before the container was on screen.
class RootViewController : public PlaceholderViewController {
    Q_OBJECT
public:
    explicit RootViewController(QObject* parent = nullptr);
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void slideButtonPressed(QObject* sender);

protected:
    double scrollContentHeight() const override;
};
