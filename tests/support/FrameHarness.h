#pragma once

// What the screen tests stand on: a fresh home and settings, and a key window whose root is a
// navigation stack holding the screen under test.

#include "app/core/PublicFunction.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "sandbox/RequestLog.h"
#include "tests/support/Wait.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// Lets deferred deletions and posted events run.
inline void settleEvents() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// The keys of a request's fields, in order.
inline QStringList fieldKeys(const sandbox::ReceivedRequest& request) {
    QStringList keys;
    for (const auto& item : request.fields.items())
        keys << item.first;
    return keys;
}

class FrameHarness : public ::testing::Test {
protected:
    void SetUp() override {
        m_previousHome = ns::Directories::home();
        freshHome();
    }
    void TearDown() override {
        closeWindow();
        ns::UserDefaults::resetStandardUserDefaults();
        ns::Directories::setHomeOverride(m_previousHome);
    }

    // A new, empty home and settings.
    void freshHome() {
        m_home = std::make_unique<QTemporaryDir>();
        ns::Directories::setHomeOverride(m_home->path());
        ns::UserDefaults::resetStandardUserDefaults();
    }
    // Closes the window (and its alerts) but keeps settings and server state.
    void closeWindow() {
        ui::AlertCenter::dismissAll();
        window.reset();
        settleEvents();
    }
    // Shows root inside a navigation stack in a new key window.
    ui::NavigationController* show(ui::ViewController* root) {
        window = std::make_unique<ui::Window>();
        nav = new ui::NavigationController(root);
        window->setRootViewController(nav);
        window->makeKeyAndVisible();
        return nav;
    }
    static void storeSession(const QString& number, const QString& session) {
        PublicFunction::saveConfig(number, "username");
        PublicFunction::saveConfig(session, "session");
    }

    ui::ViewController* top() const { return nav ? nav->topViewController() : nullptr; }
    static bool waitForAlert() {
        return waitUntil([] { return ui::AlertCenter::topAlert() != nullptr; });
    }
    static QString topAlertMessage() {
        auto* alert = ui::AlertCenter::topAlert();
        return alert ? alert->message() : QString();
    }

    std::unique_ptr<ui::Window> window;
    QPointer<ui::NavigationController> nav;

private:
    std::unique_ptr<QTemporaryDir> m_home;
    QString m_previousHome;
};
