#pragma once

// The billing screens' fixture: a fresh home and settings, the in-process sandbox with the
// demo subscriber signed in, the manual clock, instant animations, and a window with a
// navigation stack each screen is opened on.

#include "app/core/PublicFunction.h"
#include "app/core/ViewController.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/DateFormat.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "sandbox/SandboxServer.h"
#include "screens/web/WebViewController.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowInput.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace billing_test {

using Fields = QList<QPair<QString, QString>>;

// The in-app web page without its engine: the tests only read where it was sent.
class PageStandIn : public WebViewController {
public:
    void viewDidLoad() override { ViewController::viewDidLoad(); }
};

class BillingHarness : public testing::Test {
protected:
    void SetUp() override {
        m_previousHome = ns::Directories::home();
        ns::Directories::setHomeOverride(m_home.path());
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

    // Points the client at a scripted server instead of the sandbox.
    ScriptedServer& scripted() {
        if (!m_scripted) m_scripted = std::make_unique<ScriptedServer>();
        tavrixConfig::setServerBaseAddress(m_scripted->baseAddress());
        return *m_scripted;
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
    // Shows screen and runs until ready() holds or an alert is up.
    template <typename Screen> Screen* open(Screen* screen, const std::function<bool()>& ready) {
        show(screen);
        EXPECT_TRUE(waitFor([&] { return ready() || !topAlertMessage().isEmpty(); }));
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
    // Runs until the screen's loading overlay has gone, moving past its minimum time.
    bool waitForIdle(ViewController* screen) {
        return waitUntil([&] {
            clock.clock.advance(100);
            return screen->baseHud() == nullptr;
        });
    }
    // Waits for the alert a money request's dropped connection gives, then for a resend.
    void expectDroppedOnce(const QString& name) {
        ASSERT_TRUE(waitFor([&] { return !topAlertMessage().isEmpty(); }));
        EXPECT_EQ(topAlertMessage(), "网络连接失败,请检查您的网络设置");
        waitUntil([&] { return sandbox.requestsTo(name).size() > 1; }, 300);
        EXPECT_EQ(sandbox.requestsTo(name).size(), 1);
    }

    static QString topAlertMessage() {
        auto* alert = ui::AlertCenter::topAlert();
        return alert ? alert->message() : QString();
    }
    static bool pressAlert(const QString& button) { return ui::AlertCenter::press(button); }
    static void click(const ui::View* view) { windowinput::click(view); }
    static QString text(const ui::Label* label) { return label ? label->text() : QString(); }
    ui::ViewController* top() const { return nav ? nav->topViewController() : nullptr; }
    PageStandIn* webPage() const { return dynamic_cast<PageStandIn*>(top()); }
    QString session() const { return PublicFunction::getConfigWithKey("session").toString(); }
    qint64 account(const char* column, const QString& number = SandboxFixture::demoNumber()) {
        return sandbox.server()
            .backend()
            .database()
            .scalar(QStringLiteral("SELECT %1 FROM accounts WHERE number = ?").arg(column),
                    {number})
            .toLongLong();
    }

    ns::ScopedManualClock clock;
    ui::ScopedInstantAnimations instant;
    SandboxFixture sandbox;
    std::unique_ptr<ui::Window> window;
    QPointer<ui::NavigationController> nav;

private:
    QTemporaryDir m_home;
    QString m_previousHome;
    std::unique_ptr<ScriptedServer> m_scripted;
};

} // namespace billing_test
