#pragma once

namespace ui {
class TabBarController;
}

// What URL routing needs of the drawer container that holds the tabs after log-in.
class DrawerContainer {
public:
    virtual ~DrawerContainer() = default;
    virtual void closingAnimation() = 0;
    virtual ui::TabBarController* rightViewController() const = 0;
};
