#pragma once

// The home page inside the real shell (drawer container, tabs, window) against the in-process
// sandbox, with the manual clock and instant animations.

#include <QTest>
#include <QWindow>

#include "platform/foundation/Clock.h"
#include "platform/ui/Animation.h"
#include "sandbox/Reply.h"
#include "sandbox/SandboxServer.h"
#include "screens/home/RootViewController.h"
#include "tests/screens/shell/ShellHarness.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/WindowInput.h"

class HomeHarness : public ShellHarness {
protected:
    void SetUp() override {
        ShellHarness::SetUp();
        standInForStartAndLogIn();
        // The data balance, as the test sets it.
        sandbox.server().interfaces().add(
            "Balance", sandbox::InterfaceRegistry::Access::Session,
            [this](const sandbox::InterfaceCall&) {
                return sandbox::Reply::ok({{"gntyll", gntyll}, {"qtll", qtll}});
            });
        signInAs(SandboxFixture::demoNumber(), sandbox.signIn());
        launch(sandbox.baseAddress());
    }

    // The shell after log-in; the home page loads and appears on its first tab.
    RootViewController* showHome() {
        if (!pushContainer() || !homeNavigation) return nullptr;
        clock.clock.advance(0);
        // Nothing is presented: the empty presentation layer must not take the mouse.
        if (window()->presentationLayer()->subviews().isEmpty())
            window()->presentationLayer()->setHidden(true);
        return qobject_cast<RootViewController*>(homeNavigation->viewControllers().value(0));
    }
    // A view's point in the window.
    QPoint inWindow(ui::View* view, QPointF point) {
        return view->mapTo(window(), point.toPoint());
    }
    // A real mouse drag on the window, in steps.
    // With hold the finger rests before letting go, so nothing glides on.
    void drag(QPoint from, QPoint to, int steps = 10, bool hold = false) {
        windowinput::press(window(), from);
        for (int i = 1; i <= steps; ++i) {
            clock.clock.advance(16);
            windowinput::move(window(), from + (to - from) * i / steps);
        }
        if (hold) {
            clock.clock.advance(300);
            windowinput::move(window(), to);
        }
        windowinput::release(window(), to);
    }
    int requestsTo(const QString& name) { return int(sandbox.requestsTo(name).size()); }
    QString topClass() { return homeNavigation->topViewController()->metaObject()->className(); }

    ns::ScopedManualClock clock;
    ui::ScopedInstantAnimations instant;
    SandboxFixture sandbox;
    double gntyll = 1572864; // 1.50GB
    double qtll = 2048;      // 2.00MB
};
