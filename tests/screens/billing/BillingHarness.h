#pragma once

// What the bill, recharge and points screen tests share: a fresh home and settings, the
// in-process sandbox as the server with the demo subscriber signed in, the manual clock,
// instant animations, and a window with a navigation stack the screen is pushed onto.

#include "app/core/PublicFunction.h"
#include "app/core/ViewController.h"
#include "app/core/tavrixConfig.h"
#include "screens/web/WebViewController.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/DateFormat.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "sandbox/SandboxServer.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowInput.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace billing_test {

// The in-app web page without its engine: the tests only read where it was sent.
class PageStandIn : public WebViewController {
public:
    void viewDidLoad() override { ViewController::viewDidLoad(); }
};

class BillingHarness : public testing::Test {
protected:
    void SetUp() override {
        m_previousHome = ns::Directories::home();
        m_home = std::make_unique<QTemporaryDir>();
        ns::Directories::setHomeOverride(m_home->path());
        ns::UserDefaults::resetStandardUserDefaults();
        tavrixConfig::setServerBaseAddress(sandbox.baseAddress());
        signIn(SandboxFixture::demoNumber());
        ui::Storyboard::registerScene("Main", "WebViewController", [] { return new PageStandIn; });
    }

    void TearDown() override {
        ui::AlertCenter::dismissAll();
        window.reset();
        settle();
        ui::Storyboard::registerScene("Main", "WebViewController",
                                      [] { return new WebViewController; });
        ns::DateFormat::setNowOverride(QDateTime());
        ns::UserDefaults::resetStandardUserDefaults();
        ns::Directories::setHomeOverride(m_previousHome);
    }

    void signIn(const QString& number) {
        PublicFunction::saveConfig(sandbox.signIn(number), "session");
        PublicFunction::saveConfig(number, "username");
    }

    // Shows screen on a navigation stack in a new key window.
    template <typename Screen> Screen* show(Screen* screen) {
        ui::AlertCenter::dismissAll();
        window.reset();
        settle();
        window = std::make_unique<ui::Window>();
        nav = new ui::NavigationController(screen);
        window->setRootViewController(nav);
        window->makeKeyAndVisible();
        return screen;
    }

    // Lets the overlays' timers run out and deferred work happen.
    void settle(qint64 ms = 3000) {
        clock.clock.advance(ms);
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
    }

    // Runs until the interface has been asked count times, then lets its answer arrive.
    bool waitForRequests(const QString& name, int count) {
        const bool ok = waitUntil([&] { return sandbox.requestsTo(name).size() >= count; });
        settle(0);
        return ok;
    }

    // Runs until done() holds, advancing the overlays' timers on the way.
    bool waitFor(const std::function<bool()>& done) {
        const bool ok = waitUntil(done);
        settle();
        return ok;
    }

    // Runs until the screen's loading overlay has gone (its replies are in), moving the clock
    // so the overlay's minimum time passes.
    bool waitForIdle(ViewController* screen) {
        return waitUntil([&] {
            clock.clock.advance(100);
            return screen->baseHud() == nullptr;
        });
    }

    static QString topAlertMessage() {
        auto* alert = ui::AlertCenter::topAlert();
        return alert ? alert->message() : QString();
    }
    static bool pressAlert(const QString& button) { return ui::AlertCenter::press(button); }

    ui::ViewController* top() const { return nav ? nav->topViewController() : nullptr; }
    PageStandIn* webPage() const { return dynamic_cast<PageStandIn*>(top()); }

    static QString text(const ui::Label* label) { return label ? label->text() : QString(); }

    ns::ScopedManualClock clock;
    ui::ScopedInstantAnimations instant;
    SandboxFixture sandbox;
    std::unique_ptr<ui::Window> window;
    QPointer<ui::NavigationController> nav;

private:
    std::unique_ptr<QTemporaryDir> m_home;
    QString m_previousHome;
};

// The fields of a request, names and values in order.
inline QList<QPair<QString, QString>> fieldsOf(const sandbox::ReceivedRequest& r) {
    return r.fields.items();
}

} // namespace billing_test
