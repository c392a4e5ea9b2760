#pragma once

#include "platform/ui/Storyboard.h"
#include "screens/entry/DefaultVC.h"
#include "screens/entry/LoginViewController.h"

namespace shell_test {

// The shell tests stand plain screens in for the start-up router and the log-in screen (each
// is tested on its own); this gives later tests in the process the real ones back.
inline void restoreScenes() {
    ui::Storyboard::registerScene("Main", "DefaultVC", [] { return new DefaultVC; });
    ui::Storyboard::registerScene("Main", "LoginViewController",
                                  [] { return new LoginViewController; });
}

} // namespace shell_test
