#pragma once

// What the platform tests share: running the event loop's pending work and showing screens.

#include <QCoreApplication>

#include <memory>

#include "platform/ui/NavigationController.h"

namespace platformtest {

// Runs posted work, then the deletions it left (screens taken off, panels gone).
inline void flush() {
    QCoreApplication::sendPostedEvents(nullptr, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A navigation controller on screen, as a window would show it.
inline std::unique_ptr<ui::NavigationController> shownNav(ui::ViewController* root) {
    auto nav = std::make_unique<ui::NavigationController>(root);
    nav->view();
    nav->beginAppearanceTransition(true, false);
    nav->endAppearanceTransition();
    return nav;
}

} // namespace platformtest
