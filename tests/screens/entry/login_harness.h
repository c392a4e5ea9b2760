#pragma once

// What the log-in, router and password tests share: a fresh sandbox home and settings, the
// sandbox server as the client's server, a pinned network, a window with a navigation stack,
// and a plain stand-in for the drawer container (the real one would start its own requests).

#include "app/core/tavrixConfig.h"
#include "screens/shell/SkatingRinkViewController.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/Reachability.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "sandbox/SandboxServer.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/Wait.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "tests/support/Wait.h"
#include <memory>

namespace login_test {

using ::waitUntil;

inline const QString kMainScene = QStringLiteral("SkatingRinkViewController");

// Lets deferred deletions and posted events run.
inline void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
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

    void end() {
        ui::AlertCenter::dismissAll();
        window.reset();
        settle();
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

    ui::ViewController* top() const { return nav ? nav->topViewController() : nullptr; }
    QString topScene() const { return top() ? top()->storyboardIdentifier() : QString(); }
    bool waitForTop(const QString& scene) {
        return waitUntil([&] { return topScene() == scene; });
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
