#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/core/AppDelegate.h"
#include "app/core/tavrixConfig.h"
#include "mireb/MirebSDK.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Pasteboard.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "screens/shell/SkatingRinkViewController.h"
#include "talvo/TVApi.h"
#include "tests/screens/shell/shell_scenes.h"
#include "tests/support/ScriptedServer.h"

namespace {

using shell_test::restoreScenes;

using Stack = QList<ui::ViewController*>;

class UrlRoutingTest : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        // Plain stand-ins: the start-up router and the log-in screen are tested on their own.
        ui::Storyboard::registerScene("Main", "DefaultVC", [] { return new ui::ViewController; });
        tavrixConfig::setServerBaseAddress(server.baseAddress());
        ui::Application::sharedApplication().setDelegate(&app);
        app.applicationDidFinishLaunchingWithOptions({});
        root = qobject_cast<ui::NavigationController*>(app.window()->rootViewController());
        ASSERT_NE(root, nullptr);
    }
    void TearDown() override {
        ui::AlertCenter::dismissAll();
        restoreScenes();
    }

    SkatingRinkViewController* showContainer() {
        auto* container = qobject_cast<SkatingRinkViewController*>(
            ui::Storyboard::instantiateViewController("Main", "SkatingRinkViewController"));
        root->pushViewController(container, false);
        return container;
    }
    ui::NavigationController* tab(SkatingRinkViewController* container, int index) {
        return qobject_cast<ui::NavigationController*>(
            container->rightViewController()->viewControllers().value(index));
    }
    static ui::ViewController* screen(const char* route) {
        return tavrixConfig::getViewControllerWithString(route);
    }
    static QStringList classes(const Stack& stack) {
        QStringList out;
        for (ui::ViewController* vc : stack)
            out << vc->metaObject()->className();
        return out;
    }

    QTemporaryDir runtime;
    ScriptedServer server;
    AppDelegate app;
    ui::NavigationController* root = nullptr;
};

TEST_F(UrlRoutingTest, LaunchMakesTheBrandedStackAndRegistersWithBothLibraries) {
    EXPECT_STREQ(root->metaObject()->className(), "NavbarViewController");
    EXPECT_EQ(root->navigationBar()->barTintColor(), QColor(70, 140, 202));
    EXPECT_EQ(root->navigationBar()->titleTextColor(), QColor(Qt::white));
    EXPECT_EQ(ui::Application::sharedApplication().statusBarStyle(),
              ui::Application::StatusBarStyle::LightContent);
    EXPECT_EQ(TVApi::registeredAppId(), "wx5c1e0d93b7a4f268");
    EXPECT_EQ(MirebSDK::callbackScheme(), "mr3841907256");
    EXPECT_TRUE(MirebSDK::isDebugMode());
    EXPECT_EQ(app.isAwakenByOtherBeforeRunning(), "NO");
    EXPECT_TRUE(app.urlOfAwakenByOther().isEmpty());
}

TEST_F(UrlRoutingTest, ARouteBeforeTheContainerIsKeptAndTheLatestWins) {
    EXPECT_FALSE(app.openURL("kelvamor://QueryViewController", {}));
    EXPECT_EQ(app.isAwakenByOtherBeforeRunning(), "YES");
    EXPECT_FALSE(app.openURL("kelvamor://Main&FNRootViewController", {}));
    EXPECT_EQ(app.urlOfAwakenByOther(), "kelvamor://Main&FNRootViewController");
}

TEST_F(UrlRoutingTest, UrlsThatAreNotOursAreRefusedOrDropped) {
    showContainer();
    EXPECT_TRUE(app.openURL("kelvamor://QueryViewController", "jp.app/openwith"));
    EXPECT_FALSE(app.openURL("http://127.0.0.1/x", {}));
    EXPECT_FALSE(app.openURL("KELVAMOR://QueryViewController", {}));
    EXPECT_EQ(app.isAwakenByOtherBeforeRunning(), "NO");
}

TEST_F(UrlRoutingTest, ATabRootSelectsItsTabAndCutsTheOldTabToItsRoot) {
    SkatingRinkViewController* container = showContainer();
    ui::NavigationController* home = tab(container, 0);
    for (const char* route : {"Main&FNRootViewController", "Main&MorePackageViewController",
                              "SecureNum&SecurenumGuideViewController"})
        home->pushViewController(screen(route), false);
    container->showRight(true);

    EXPECT_TRUE(app.openURL("kelvamor://QueryViewController", {}));
    EXPECT_EQ(container->rightViewController()->selectedIndex(), 1);
    EXPECT_EQ(classes(home->viewControllers()), QStringList{"RootViewController"});
    EXPECT_EQ(container->openState(), SkatingRinkViewController::Closed);
}

TEST_F(UrlRoutingTest, AStoryboardRouteReplacesAnEarlierScreenOfItsClass) {
    struct Case {
        const char* name;
        QStringList before; // routes pushed above the home page
        const char* url;
        QStringList after;
    };
    const Case cases[] = {
        {"appended when absent",
         {},
         "kelvamor://Main&FNRootViewController",
         {"RootViewController", "FNRootViewController"}},
        {"second of three replaced with all above it",
         {"Main&FNRootViewController", "Main&MorePackageViewController"},
         "kelvamor://Main&FNRootViewController",
         {"RootViewController", "FNRootViewController"}},
        {"first of a stack of one replaced",
         {},
         "kelvamor://Main&RootViewController",
         {"RootViewController"}},
    };
    for (const Case& c : cases) {
        SkatingRinkViewController* container = showContainer();
        ui::NavigationController* home = tab(container, 0);
        for (const QString& route : c.before)
            home->pushViewController(tavrixConfig::getViewControllerWithString(route), false);
        const Stack before = home->viewControllers();
        EXPECT_TRUE(app.openURL(c.url, {})) << c.name;
        const Stack after = home->viewControllers();
        EXPECT_EQ(classes(after), c.after) << c.name;
        EXPECT_FALSE(before.contains(after.last())) << c.name << ": a new screen";
        root->popViewControllerAnimated(false);
    }
}

TEST_F(UrlRoutingTest, AMalformedRouteLeavesEveryStackAsItWas) {
    SkatingRinkViewController* container = showContainer();
    ui::NavigationController* home = tab(container, 0);
    home->pushViewController(screen("Main&FNRootViewController"), false);
    container->showRight(true);
    const Stack before = home->viewControllers();
    for (const char* url :
         {"kelvamor://Main", "kelvamor://", "kelvamor://Nowhere&FNRootViewController",
          "kelvamor://Main&NoSuchScene", "kelvamor://queryviewcontroller"}) {
        EXPECT_FALSE(app.openURL(url, {})) << url;
        EXPECT_EQ(home->viewControllers(), before) << url;
        EXPECT_EQ(container->rightViewController()->selectedIndex(), 0) << url;
        EXPECT_EQ(container->openState(), SkatingRinkViewController::Open) << url;
    }
}

TEST_F(UrlRoutingTest, TheHomePageReplaysAKeptRouteOnce) {
    ns::ScopedManualClock clock;
    app.openURL("kelvamor://ManageViewController", {});
    EXPECT_EQ(showContainer()->rightViewController()->selectedIndex(), 2);
    EXPECT_EQ(app.isAwakenByOtherBeforeRunning(), "NO");
    root->popViewControllerAnimated(false);

    // A storyboard route is pushed on the next pass.
    app.openURL("kelvamor://Main&FNRootViewController", {});
    ui::NavigationController* home = tab(showContainer(), 0);
    EXPECT_EQ(classes(home->viewControllers()), QStringList{"RootViewController"});
    clock.clock.advance(0);
    EXPECT_EQ(classes(home->viewControllers()),
              (QStringList{"RootViewController", "FNRootViewController"}));
    EXPECT_EQ(app.isAwakenByOtherBeforeRunning(), "NO");
}

// Links are untrusted: one naming the start-up screens or a piece of the shell opens
// nothing, whether it comes while the shell is up or is kept and replayed after start-up.
TEST_F(UrlRoutingTest, ALinkToAStartUpOrShellSceneOpensNothingLiveOrReplayed) {
    ns::ScopedManualClock clock;
    // Refused kinds registered under harmless names are refused all the same.
    ui::Storyboard::registerScene(
        "Main", "StackAlias", [] { return new ui::NavigationController(new ui::ViewController); });
    ui::Storyboard::registerScene("Main", "DrawerAlias",
                                  [] { return new SkatingRinkViewController; });
    struct Case {
        const char* url;
        bool opens;
    };
    const Case cases[] = {
        {"kelvamor://Main&DefaultVC", false},
        {"kelvamor://Main&GuideViewController", false},
        {"kelvamor://Main&LoginViewController", false},
        {"kelvamor://Main&SkatingRinkViewController", false},
        {"kelvamor://Main&SideSlipViewController", false},
        {"kelvamor://Main&TabBarViewController", false},
        {"kelvamor://Main&NavbarViewController", false},
        {"kelvamor://Main%26LoginViewController", false},
        {"kelvamor://Main&%44efaultVC/x?y=1", false},
        {"kelvamor://Main&TabBarViewController&FNRootViewController", false},
        {"kelvamor://Main&StackAlias", false},
        {"kelvamor://Main&DrawerAlias", false},
        {"kelvamor://Main&FNRootViewController", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        const QStringList opened = c.opens
                                       ? QStringList{"RootViewController", "FNRootViewController"}
                                       : QStringList{"RootViewController"};
        // Live: the shell is up.
        SkatingRinkViewController* container = showContainer();
        container->showRight(true);
        ui::NavigationController* home = tab(container, 0);
        EXPECT_EQ(app.openURL(c.url, {}), c.opens);
        clock.clock.advance(0);
        EXPECT_EQ(classes(home->viewControllers()), opened);
        EXPECT_EQ(container->openState(),
                  c.opens ? SkatingRinkViewController::Closed : SkatingRinkViewController::Open);
        EXPECT_EQ(root->viewControllers().size(), 2);
        root->popViewControllerAnimated(false);

        // Replayed: kept before the shell, opened once the home page has appeared.
        EXPECT_FALSE(app.openURL(c.url, {}));
        home = tab(showContainer(), 0);
        clock.clock.advance(0);
        EXPECT_EQ(classes(home->viewControllers()), opened);
        EXPECT_EQ(app.isAwakenByOtherBeforeRunning(), "NO");
        EXPECT_EQ(root->viewControllers().size(), 2);
        root->popViewControllerAnimated(false);
    }
    ui::Storyboard::unregisterScene("Main", "StackAlias");
    ui::Storyboard::unregisterScene("Main", "DrawerAlias");
}

TEST_F(UrlRoutingTest, TalvoShareResultsShowTheirMessage) {
    const struct {
        const char* code;
        const char* message;
    } cases[] = {{"0", "发送成功"}, {"-2", "发送取消"}, {"-1", "发送失败"}, {"-3", "发送失败"}};
    for (const auto& c : cases) {
        const QString url = QString("wx5c1e0d93b7a4f268://sendresp?errCode=%1").arg(c.code);
        EXPECT_TRUE(app.openURL(url, {})) << c.code;
        ui::AlertView* alert = ui::AlertCenter::topAlert();
        ASSERT_NE(alert, nullptr) << c.code;
        EXPECT_EQ(alert->title() + '|' + alert->message() + '|' + alert->buttonTitleAtIndex(0),
                  QString("|") + c.message + "|确定");
        ui::AlertCenter::dismissAll();
    }
}

TEST_F(UrlRoutingTest, MirebShareResultsShowTheirTitleAndKeepTheToken) {
    const struct {
        int status;
        const char* title;
    } cases[] = {{0, "分享成功"},  {-1, "分享取消"},           {-100, "分享取消"},
                 {-2, "发送失败"}, {-4, "取消安装米瑞客户端"}, {-8, "分享失败"},
                 {-3, ""}};
    int n = 0;
    for (const auto& c : cases) {
        const QString id = QString("share%1").arg(++n);
        ns::Pasteboard::write(id, {{"__class", "MRSendMessageToMirebResponse"},
                                   {"statusCode", c.status},
                                   {"authResponse", QVariantMap{{"accessToken", id}}}});
        EXPECT_TRUE(app.openURL("mr3841907256://response?id=" + id, {})) << c.status;
        ui::AlertView* alert = ui::AlertCenter::topAlert();
        ASSERT_NE(alert, nullptr) << c.status;
        EXPECT_EQ(alert->title() + '|' + alert->message(), c.title + QString("|")) << c.status;
        EXPECT_EQ(app.mrtoken(), id);
        ui::AlertCenter::dismissAll();
    }
    // A response without a user id keeps the one already known.
    ns::Pasteboard::write("u1", {{"__class", "MRSendMessageToMirebResponse"},
                                 {"statusCode", 0},
                                 {"authResponse", QVariantMap{{"userID", "42"}}}});
    app.openURL("mr3841907256://response?id=u1", {});
    ns::Pasteboard::write("u2", {{"__class", "MRSendMessageToMirebResponse"}, {"statusCode", 0}});
    app.openURL("mr3841907256://response?id=u2", {});
    EXPECT_EQ(app.mrCurrentUserID(), "42");
    EXPECT_EQ(app.mrtoken(), QString("share%1").arg(n));
}

} // namespace
