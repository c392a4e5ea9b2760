#pragma once

// What the log-in, router and password tests share: a fresh sandbox home and settings, the
// sandbox server as the client's server, a pinned network, a window with a navigation stack,
// and a plain stand-in for the drawer container (the real one would start its own requests).

#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/Reachability.h"
#include "platform/ui/Button.h"
#include "platform/ui/Storyboard.h"
#include "sandbox/SandboxServer.h"
#include "screens/shell/SkatingRinkViewController.h"
#include "tests/support/FrameHarness.h"
#include "tests/support/SandboxFixture.h"

namespace login_test {

inline const QString kMainScene = QStringLiteral("SkatingRinkViewController");

inline void settle() {
    settleEvents();
}

inline QString stored(const char* key) {
    return PublicFunction::getConfigWithKey(key).toString();
}

inline void tap(ui::Button* button) {
    button->sendActionsForControlEvents(ui::Control::TouchUpInside);
}

// What a log-in by number and password sends, in order.
inline sandbox::FormFields loginFields(const QString& number, const QString& password,
                                       const QString& session) {
    return sandbox::FormFields({{"num", number},
                                {"pass", password},
                                {"channelid", "2"},
                                {"versionid", PublicFunction::versionNumberOfAPP()},
                                {"imei", PublicFunction::getUUIDOfDevice()},
                                {"network", "0"},
                                {"session", session}});
}

class LoginHarness : public FrameHarness {
protected:
    void SetUp() override {
        FrameHarness::SetUp();
        begin();
    }
    void TearDown() override {
        end();
        ui::Storyboard::registerScene("Main", kMainScene,
                                      [] { return new SkatingRinkViewController; });
        FrameHarness::TearDown();
    }

    // A new start for table rows: fresh settings and server state, no window.
    void restart() {
        end();
        freshHome();
        begin();
    }

    void begin() {
        sandbox.clearFaults();
        sandbox.clearRequests();
        sandbox.server().backend().setGatewayNumber(SandboxFixture::demoNumber());
        tavrixConfig::setServerBaseAddress(sandbox.baseAddress());
        ui::Storyboard::registerScene("Main", kMainScene, [] { return new ui::ViewController; });
        setNetwork(ns::Reachability::Medium::WiFi);
    }
    void end() {
        closeWindow();
        ns::Reachability::shared().setMediumOverride(std::nullopt);
        ns::UserDefaults::resetStandardUserDefaults();
    }

    static void setNetwork(ns::Reachability::Medium medium) {
        ns::Reachability::shared().setMediumOverride(medium);
    }

    // A scene pushed over a plain start screen, as the router leaves the log-in screen.
    template <typename Screen> Screen* showOverStart(const char* identifier) {
        show(new ui::ViewController);
        auto* screen =
            static_cast<Screen*>(ui::Storyboard::instantiateViewController("Main", identifier));
        nav->pushViewController(screen, false);
        return screen;
    }

    QString topScene() const { return top() ? top()->storyboardIdentifier() : QString(); }
    bool waitForTop(const QString& scene) {
        return waitUntil([&] { return topScene() == scene; });
    }

    SandboxFixture sandbox;
};

} // namespace login_test
