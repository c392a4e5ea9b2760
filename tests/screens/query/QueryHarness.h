#pragma once

// What the query, manage and settings screen tests share: a fresh home and settings, the
// in-process sandbox as the server with a signed-in demo subscriber, a manual clock, a window
// showing the screen under test in a navigation stack, and input through Qt's event delivery.

#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/View.h"
#include "sandbox/SandboxServer.h"
#include "screens/web/WebViewController.h"
#include "tests/support/FrameHarness.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/ShownAlert.h"
#include "tests/support/WindowInput.h"

#include <QTest>

namespace query_test {

inline void settle() {
    settleEvents();
}

class ScreenHarness : public FrameHarness {
protected:
    void SetUp() override {
        FrameHarness::SetUp();
        tavrixConfig::setServerBaseAddress(sandbox.baseAddress());
        signIn(SandboxFixture::demoNumber());
        observer = std::make_unique<QObject>();
        ns::NotificationCenter::defaultCenter().addObserver(
            observer.get(), "PushToLoginVeiw", nullptr,
            [this](const ns::Notification& n) { posted << n.name; });
    }
    void TearDown() override {
        closeWindow();
        observer.reset();
        FrameHarness::TearDown();
    }

    void signIn(const QString& number) { storeSession(number, sandbox.signIn(number)); }

    // Shows the scene as the root of a navigation stack in a new key window. With pushed, the
    // scene goes on top of a plain first screen, as when it is opened.
    template <typename T> T* show(const QString& scene, bool pushed = false) {
        ui::ViewController* screen = ui::Storyboard::instantiateViewController("Main", scene);
        FrameHarness::show(pushed ? new ui::ViewController : screen);
        if (pushed) {
            nav->pushViewController(screen, false);
            settle();
        }
        return qobject_cast<T*>(nav->topViewController());
    }
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
    ns::ScopedManualClock clock;
    SandboxFixture sandbox;
    std::unique_ptr<QObject> observer;
    QStringList posted;
};

} // namespace query_test
