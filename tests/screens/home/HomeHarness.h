#pragma once

// The home page inside the real shell (drawer container, tabs, window) against the in-process
// sandbox, with the manual clock and instant animations.

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include "app/core/AppDelegate.h"
#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "app/download/MultiplexCache.h"
#include "screens/entry/DefaultVC.h"
#include "screens/entry/LoginViewController.h"
#include "screens/home/RootViewController.h"
#include "screens/shell/SkatingRinkViewController.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Directories.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/Animation.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"
#include "sandbox/Reply.h"
#include "sandbox/SandboxServer.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/Wait.h"

class HomeHarness : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        previousHome = ns::Directories::home();
        ns::Directories::setHomeOverride(home.path());
        MultiplexCache::removeCache();
        ui::Storyboard::registerScene("Main", "DefaultVC", [] { return new ui::ViewController; });
        ui::Storyboard::registerScene("Main", "LoginViewController",
                                      [] { return new ui::ViewController; });
        // The data balance, as the test sets it.
        sandbox.server().interfaces().add(
            "Balance", sandbox::InterfaceRegistry::Access::Session,
            [this](const sandbox::InterfaceCall&) {
                return sandbox::Reply::ok({{"gntyll", gntyll}, {"qtll", qtll}});
            });
        PublicFunction::saveConfig(SandboxFixture::demoNumber(), "username");
        PublicFunction::saveConfig(sandbox.signIn(), "session");
        tavrixConfig::setServerBaseAddress(sandbox.baseAddress());
        ui::Application::sharedApplication().setDelegate(&app);
        app.applicationDidFinishLaunchingWithOptions({});
    }
    void TearDown() override {
        ui::AlertCenter::dismissAll();
        ui::Storyboard::registerScene("Main", "DefaultVC", [] { return new DefaultVC; });
        ui::Storyboard::registerScene("Main", "LoginViewController",
                                      [] { return new LoginViewController; });
        ns::Directories::setHomeOverride(previousHome);
        MultiplexCache::removeCache();
        // Screens popped during the test go now, not with the process.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The shell after log-in; the home page loads and appears on its first tab.
    RootViewController* showHome() {
        rootNavigation()->pushViewController(
            ui::Storyboard::instantiateViewController("Main", "SkatingRinkViewController"), false);
        auto* container =
            qobject_cast<SkatingRinkViewController*>(rootNavigation()->topViewController());
        if (!container) return nullptr;
        tabs = container->rightViewController();
        homeNavigation = qobject_cast<ui::NavigationController*>(tabs->viewControllers().value(0));
        clock.clock.advance(0);
        // Nothing is presented: the empty presentation layer must not take the mouse.
        if (app.window()->presentationLayer()->subviews().isEmpty())
            app.window()->presentationLayer()->setHidden(true);
        return homeNavigation
                   ? qobject_cast<RootViewController*>(homeNavigation->viewControllers().value(0))
                   : nullptr;
    }
    ui::NavigationController* rootNavigation() {
        return qobject_cast<ui::NavigationController*>(app.window()->rootViewController());
    }
    QWindow* window() { return app.window()->windowHandle(); }
    // A view's point in the window.
    QPoint inWindow(ui::View* view, QPointF point) {
        return view->mapTo(app.window(), point.toPoint());
    }
    // A real mouse drag on the window, in steps.
    // With hold the finger rests before letting go, so nothing glides on.
    void drag(QPoint from, QPoint to, int steps = 10, bool hold = false) {
        QTest::mousePress(window(), Qt::LeftButton, {}, from);
        for (int i = 1; i <= steps; ++i) {
            clock.clock.advance(16);
            QTest::mouseMove(window(), from + (to - from) * i / steps);
        }
        if (hold) {
            clock.clock.advance(300);
            QTest::mouseMove(window(), to);
        }
        QTest::mouseRelease(window(), Qt::LeftButton, {}, to);
    }
    void click(ui::View* view) {
        const QPoint p = inWindow(view, view->bounds().center());
        QTest::mouseClick(window(), Qt::LeftButton, {}, p);
    }
    int requestsTo(const QString& name) { return int(sandbox.requestsTo(name).size()); }
    QString topClass() { return homeNavigation->topViewController()->metaObject()->className(); }

    ns::ScopedManualClock clock;
    ui::ScopedInstantAnimations instant;
    QTemporaryDir runtime;
    QTemporaryDir home;
    QString previousHome;
    SandboxFixture sandbox;
    double gntyll = 1572864; // 1.50GB
    double qtll = 2048;      // 2.00MB
    AppDelegate app;
    ui::TabBarController* tabs = nullptr;
    ui::NavigationController* homeNavigation = nullptr;
};
