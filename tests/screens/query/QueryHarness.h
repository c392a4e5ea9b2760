#pragma once

// What the query, manage and settings screen tests share: a fresh home and settings, the
// in-process sandbox as the server with a signed-in demo subscriber, a manual clock, a window
// showing the screen under test in a navigation stack, and input through Qt's event delivery.

#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "sandbox/SandboxServer.h"
#include "screens/web/WebViewController.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/ShownAlert.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowInput.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace query_test {

inline void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

class ScreenHarness : public ::testing::Test {
protected:
    void SetUp() override {
        m_previousHome = ns::Directories::home();
        m_home = std::make_unique<QTemporaryDir>();
        ns::Directories::setHomeOverride(m_home->path());
        ns::UserDefaults::resetStandardUserDefaults();
        tavrixConfig::setServerBaseAddress(sandbox.baseAddress());
        signIn(SandboxFixture::demoNumber());
        observer = std::make_unique<QObject>();
        ns::NotificationCenter::defaultCenter().addObserver(
            observer.get(), "PushToLoginVeiw", nullptr,
            [this](const ns::Notification& n) { posted << n.name; });
    }

    void TearDown() override {
        ui::AlertCenter::dismissAll();
        window.reset();
        settle();
        observer.reset();
        ns::UserDefaults::resetStandardUserDefaults();
        ns::Directories::setHomeOverride(m_previousHome);
    }

    void signIn(const QString& number) {
        PublicFunction::saveConfig(number, "username");
        PublicFunction::saveConfig(sandbox.signIn(number), "session");
    }

    // Shows the scene as the root of a navigation stack in a new key window. With pushed, the
    // scene goes on top of a plain first screen, as when it is opened.
    template <typename T> T* show(const QString& scene, bool pushed = false) {
        window = std::make_unique<ui::Window>();
        ui::ViewController* screen = ui::Storyboard::instantiateViewController("Main", scene);
        nav = new ui::NavigationController(pushed ? new ui::ViewController : screen);
        window->setRootViewController(nav);
        window->makeKeyAndVisible();
        if (pushed) {
            nav->pushViewController(screen, false);
            settle();
        }
        return qobject_cast<T*>(nav->topViewController());
    }

    ui::ViewController* top() const { return nav ? nav->topViewController() : nullptr; }
    WebViewController* topWebPage() const { return qobject_cast<WebViewController*>(top()); }

    // A click on the view's centre, delivered to the window as the display server would.
    void click(const ui::View* view) {
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(view->isVisible());
        windowinput::click(view);
        QCoreApplication::processEvents();
    }

    // Clicks the button of that title inside container (an alert's box, a sheet, a screen).
    void clickTitled(QWidget* container, const QString& title) {
        ASSERT_NE(container, nullptr);
        for (ui::Button* b : container->findChildren<ui::Button*>()) {
            if (b->currentTitle() == title && b->isVisible()) {
                click(b);
                return;
            }
        }
        FAIL() << "no button " << title.toStdString();
    }
    void clickAlertButton(const QString& title) {
        ui::AlertView* alert = ui::AlertCenter::topAlert();
        ASSERT_NE(alert, nullptr);
        clickTitled(alert->boxView(), title);
        settle();
    }

    // The loading overlay lingers a moment after its request on the (manual) clock.
    void letOverlayGo() {
        clock.clock.advance(2000);
        settle();
    }

    // Interface requests received so far, by name.
    QStringList requestNames() const {
        QStringList out;
        for (const auto& r : sandbox.requests())
            out << r.interfaceName;
        return out;
    }
    // The same sorted, for requests that travel side by side and may arrive in either order.
    QStringList sortedRequestNames() const {
        QStringList out = requestNames();
        out.sort();
        return out;
    }
    // The keys of a request's fields, in order.
    static QStringList fieldKeys(const sandbox::ReceivedRequest& request) {
        QStringList out;
        for (const auto& item : request.fields.items())
            out << item.first;
        return out;
    }

    QString topAlertMessage() const {
        auto* alert = ui::AlertCenter::topAlert();
        return alert ? alert->message() : QString();
    }
    bool waitForAlert() {
        return waitUntil([] { return ui::AlertCenter::topAlert() != nullptr; });
    }

    ns::ScopedManualClock clock;
    SandboxFixture sandbox;
    std::unique_ptr<ui::Window> window;
    QPointer<ui::NavigationController> nav;
    std::unique_ptr<QObject> observer;
    QStringList posted;

private:
    std::unique_ptr<QTemporaryDir> m_home;
    QString m_previousHome;
};

} // namespace query_test
