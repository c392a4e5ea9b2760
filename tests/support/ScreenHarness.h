#pragma once

// What screen tests share: a fresh home and settings, the in-process sandbox with the demo
// subscriber signed in, the manual clock, and a key window with a navigation stack the screen
// is shown on.

#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/DateFormat.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "tests/support/RequestWait.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowInput.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// Lets posted events and deferred deletes happen, so closed screens are gone.
inline void settleEvents() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// Counts the posts of one notification.
class NotificationCounter : public QObject {
public:
    explicit NotificationCounter(const char* name) {
        ns::NotificationCenter::defaultCenter().addObserver(
            this, QString::fromLatin1(name), nullptr, [this](const ns::Notification&) { ++count; });
    }
    ~NotificationCounter() override {
        ns::NotificationCenter::defaultCenter().removeObserver(this);
    }
    int count = 0;
};

class ScreenHarness : public testing::Test {
protected:
    void SetUp() override {
        m_previousHome = ns::Directories::home();
        ns::Directories::setHomeOverride(m_home.path());
        ns::UserDefaults::resetStandardUserDefaults();
        tavrixConfig::setServerBaseAddress(sandbox.baseAddress());
        signIn(SandboxFixture::demoNumber());
    }
    void TearDown() override {
        closeWindow();
        ns::DateFormat::setNowOverride(QDateTime());
        ns::UserDefaults::resetStandardUserDefaults();
        ns::Directories::setHomeOverride(m_previousHome);
    }

    void signIn(const QString& number) {
        PublicFunction::saveConfig(sandbox.signIn(number), "session");
        PublicFunction::saveConfig(number, "username");
    }

    // Shows root on a navigation stack in a new key window, in place of the one before.
    template <typename T> T* show(T* root) {
        closeWindow();
        window = std::make_unique<ui::Window>();
        nav = new ui::NavigationController(root);
        window->setRootViewController(nav);
        window->makeKeyAndVisible();
        return root;
    }
    // Ends a screen: its alerts and window go.
    void closeWindow() {
        ui::AlertCenter::dismissAll();
        window.reset();
        settleEvents();
    }

    ui::ViewController* top() const { return nav ? nav->topViewController() : nullptr; }
    static QString alertMessage() {
        auto* alert = ui::AlertCenter::topAlert();
        return alert ? alert->message() : QString();
    }
    static int alertCount() { return int(ui::AlertCenter::visibleAlerts().size()); }

    ns::ScopedManualClock clock;
    SandboxFixture sandbox;
    std::unique_ptr<ui::Window> window;
    QPointer<ui::NavigationController> nav;

private:
    QTemporaryDir m_home;
    QString m_previousHome;
};
