#pragma once

// What the log-in, router and password tests share: a fresh sandbox home and settings, the
// sandbox server as the client's server, a pinned network, a window with a navigation stack,
// and a plain stand-in for the drawer container (the real one would start its own requests).

#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/Reachability.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "sandbox/SandboxServer.h"
#include "screens/shell/SkatingRinkViewController.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/Wait.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace login_test {

inline const QString kMainScene = QStringLiteral("SkatingRinkViewController");

// Lets deferred deletions and posted events run.
inline void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

inline QString stored(const char* key) {
    return PublicFunction::getConfigWithKey(key).toString();
}

inline void tap(ui::Button* button) {
    button->sendActionsForControlEvents(ui::Control::TouchUpInside);
}

inline QStringList keysOf(const sandbox::ReceivedRequest& request) {
    QStringList keys;
    for (const auto& item : request.fields.items())
        keys << item.first;
    return keys;
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

class LoginHarness : public testing::Test {
protected:
    void SetUp() override {
        m_previousHome = ns::Directories::home();
        begin();
    }

    void TearDown() override {
        end();
        ui::Storyboard::registerScene("Main", kMainScene,
                                      [] { return new SkatingRinkViewController; });
        ns::Directories::setHomeOverride(m_previousHome);
    }

    // A new start for table rows: fresh settings and server state, no window.
    void restart() {
        end();
        begin();
    }

    void begin() {
        m_home = std::make_unique<QTemporaryDir>();
        ns::Directories::setHomeOverride(m_home->path());
        ns::UserDefaults::resetStandardUserDefaults();
        sandbox.clearFaults();
        sandbox.clearRequests();
        sandbox.server().backend().setGatewayNumber(SandboxFixture::demoNumber());
        tavrixConfig::setServerBaseAddress(sandbox.baseAddress());
        ui::Storyboard::registerScene("Main", kMainScene, [] { return new ui::ViewController; });
        setNetwork(ns::Reachability::Medium::WiFi);
    }

    // Closes the window but keeps settings and server state.
    void closeWindow() {
        ui::AlertCenter::dismissAll();
        window.reset();
        settle();
    }

    void end() {
        closeWindow();
        ns::Reachability::shared().setMediumOverride(std::nullopt);
        ns::UserDefaults::resetStandardUserDefaults();
    }

    static void setNetwork(ns::Reachability::Medium medium) {
        ns::Reachability::shared().setMediumOverride(medium);
    }

    // Shows root inside a navigation controller in a new key window.
    ui::NavigationController* show(ui::ViewController* root) {
        window = std::make_unique<ui::Window>();
        nav = new ui::NavigationController(root);
        window->setRootViewController(nav);
        window->makeKeyAndVisible();
        return nav;
    }

    // A scene pushed over a plain start screen, as the router leaves the log-in screen.
    template <typename Screen> Screen* showOverStart(const char* identifier) {
        show(new ui::ViewController);
        auto* screen =
            static_cast<Screen*>(ui::Storyboard::instantiateViewController("Main", identifier));
        nav->pushViewController(screen, false);
        return screen;
    }

    ui::ViewController* top() const { return nav ? nav->topViewController() : nullptr; }
    QString topScene() const { return top() ? top()->storyboardIdentifier() : QString(); }
    bool waitForTop(const QString& scene) {
        return waitUntil([&] { return topScene() == scene; });
    }
    static bool waitForAlert() {
        return waitUntil([] { return ui::AlertCenter::topAlert() != nullptr; });
    }
    QString topAlertMessage() const {
        auto* alert = ui::AlertCenter::topAlert();
        return alert ? alert->message() : QString();
    }

    SandboxFixture sandbox;
    std::unique_ptr<ui::Window> window;
    QPointer<ui::NavigationController> nav;

private:
    std::unique_ptr<QTemporaryDir> m_home;
    QString m_previousHome;
};

} // namespace login_test
