#pragma once

// The client as it runs after log-in: the app's window, its root navigation and the drawer
// container on top, with a fresh home and no picture cache. Start-up router and log-in screen
// may be stood in by plain screens (each has tests of its own).

#include "app/core/AppDelegate.h"
#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "app/download/MultiplexCache.h"
#include "platform/foundation/Directories.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"
#include "screens/shell/SkatingRinkViewController.h"
#include "tests/screens/shell/shell_scenes.h"
#include "tests/support/Wait.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class ShellHarness : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        previousHome = ns::Directories::home();
        ns::Directories::setHomeOverride(home.path());
        MultiplexCache::removeCache();
    }
    void TearDown() override {
        ui::AlertCenter::dismissAll();
        app.reset();
        shell_test::restoreScenes();
        ns::Directories::setHomeOverride(previousHome);
        MultiplexCache::removeCache();
        // Screens popped during the test go now, not with the process.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static void standInForStartAndLogIn() {
        ui::Storyboard::registerScene("Main", "DefaultVC", [] { return new ui::ViewController; });
        ui::Storyboard::registerScene("Main", "LoginViewController",
                                      [] { return new ui::ViewController; });
    }
    static void signInAs(const QString& number, const QString& session) {
        PublicFunction::saveConfig(number, "username");
        PublicFunction::saveConfig(session, "session");
    }
    void launch(const QString& server) {
        tavrixConfig::setServerBaseAddress(server);
        app = std::make_unique<AppDelegate>();
        ui::Application::sharedApplication().setDelegate(app.get());
        app->applicationDidFinishLaunchingWithOptions({});
    }
    // The drawer container pushed on the root, as a log-in leaves it.
    SkatingRinkViewController* pushContainer() {
        rootNavigation()->pushViewController(
            ui::Storyboard::instantiateViewController("Main", "SkatingRinkViewController"), false);
        container = qobject_cast<SkatingRinkViewController*>(rootNavigation()->topViewController());
        if (container)
            homeNavigation = qobject_cast<ui::NavigationController*>(
                container->rightViewController()->viewControllers().value(0));
        return container;
    }
    ui::NavigationController* rootNavigation() const {
        return qobject_cast<ui::NavigationController*>(app->window()->rootViewController());
    }
    ui::Window* window() const { return app->window(); }

    QTemporaryDir runtime;
    QTemporaryDir home;
    QString previousHome;
    std::unique_ptr<AppDelegate> app;
    SkatingRinkViewController* container = nullptr;
    ui::NavigationController* homeNavigation = nullptr;
};
