#include "app/core/HTTPRequest.h"
#include "app/core/NotificationNames.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "screens/billing/PointsProductGrid.h"
#include "screens/billing/PointsQueryViewController.h"
#include "screens/query/FeedbackViewController.h"
#include "screens/shell/PlaceholderViewController.h"
#include "screens/usage/AddFlowAlertVc.h"
#include "screens/usage/FlowMainController.h"
#include "screens/usage/FlowSuitCell.h"
#include "screens/usage/FlowSuitChangeController.h"
#include "tests/screens/shell/ShellHarness.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/WindowInput.h"
#include "widgets/ModalDialogView.h"

#include <algorithm>

namespace {

using State = SkatingRinkViewController::OpenState;

class DrawerTest : public ShellHarness {
protected:
    void SetUp() override {
        ShellHarness::SetUp();
        standInForStartAndLogIn();
        launch(server.baseAddress());
        ASSERT_NE(pushContainer(), nullptr);
        ASSERT_NE(homeNavigation, nullptr);
    }

    bool attached(ui::GestureRecognizer* recognizer) const {
        return container->rootContainerView()->gestureRecognizers().contains(recognizer);
    }
    double tabBarX() const { return container->rootContainerView()->frame().x(); }
    double menuX() const { return container->sideSlipView()->frame().x(); }
    ui::PanGestureRecognizer* pan() const { return container->panGestureRecognizer(); }
    // The view a finger lands on: the title of a plain screen on top of the home tab, or
    // the first view inside the home page.
    ui::View* touchedView() const {
        ui::ViewController* top = homeNavigation->topViewController();
        if (auto* page = qobject_cast<PlaceholderViewController*>(top)) return page->titleLabel();
        return top && !top->view()->subviews().isEmpty() ? top->view()->subviews().first()
                                                         : nullptr;
    }
    // A touch at x (in the container's coordinates) on the home tab's top screen.
    ui::Touch touchAt(double x) const {
        ui::Touch t = ui::Touch::at(container->view(), QPointF(x, 300));
        t.view = touchedView();
        return t;
    }
    bool press(double x) {
        const ui::Touch t = touchAt(x);
        if (!pan()->shouldReceiveTouch(t)) return false;
        pan()->touchesBegan(t);
        return true;
    }
    void moveTo(double x, qint64 afterMs = 16) {
        clock.clock.advance(afterMs);
        pan()->touchesMoved(touchAt(x));
    }
    void release(double x, qint64 afterMs = 16) {
        clock.clock.advance(afterMs);
        pan()->touchesEnded(touchAt(x));
    }
    // A drag whose pan begins at start (after the slop) and goes to end. With velocity > 0
    // the finger arrives moving right, with < 0 moving left; with 0 it rests before release.
    // Velocity is measured over the last 100 ms, hence the pause before the last strokes.
    void drag(double start, double end, int velocity) {
        ASSERT_TRUE(press(start - 20));
        moveTo(start); // the pan begins here
        if (velocity != 0) {
            moveTo(velocity > 0 ? end - 30 : end + 30, 200);
            moveTo(end);
            release(end);
        } else {
            moveTo(end);
            release(end, 300);
        }
    }

    ns::ScopedManualClock clock;
    ScriptedServer server;
};

TEST_F(DrawerTest, StartsClosedWithThePanAttachedWhileTheHomePageShows) {
    EXPECT_EQ(container->openState(), State::Closed);
    EXPECT_EQ(tabBarX(), 0);
    EXPECT_EQ(menuX(), -88);
    EXPECT_TRUE(attached(pan()));
    homeNavigation->pushViewController(
        tavrixConfig::getViewControllerWithString("Main&FNRootViewController"), false);
    EXPECT_FALSE(attached(pan()));
    homeNavigation->popViewControllerAnimated(false);
    EXPECT_TRUE(attached(pan()));
}

TEST_F(DrawerTest, AnOpeningDragSettlesByWhereAndHowItEnds) {
    struct Case {
        const char* name;
        double travel;
        int velocity;
        State state;
        double x;
    };
    const Case cases[] = {
        {"exactly 200", 200, 0, State::Open, 200},
        {"1 short, moving right", 199, 1, State::Open, 200},
        {"past a quarter, held still", 150, 0, State::Closed, 0},
        {"past a quarter, moving left", 150, -1, State::Closed, 0},
        {"short of a quarter, moving right", 60, 1, State::Closed, 0},
        {"further than 200", 260, 1, State::Open, 200},
    };
    for (const Case& c : cases) {
        drag(40, 40 + c.travel, c.velocity);
        EXPECT_EQ(container->openState(), c.state) << c.name;
        EXPECT_EQ(tabBarX(), c.x) << c.name;
        EXPECT_EQ(menuX(), c.state == State::Open ? -10 : -88) << c.name;
        EXPECT_EQ(attached(container->tapGestureRecognizer()), c.state == State::Open) << c.name;
        container->showRight(false);
    }
}

TEST_F(DrawerTest, DraggingMovesTheMenuAtItsOwnRateWithinBounds) {
    ASSERT_TRUE(press(20));
    moveTo(40);
    EXPECT_EQ(container->openState(), State::Opening);
    const struct {
        double to;
        double tabBar;
        double menu;
    } steps[] = {{140, 100, -49}, {290, 200, -10}, {10, 0, -88}, {90, 50, -68.5}};
    for (const auto& s : steps) {
        moveTo(s.to);
        EXPECT_DOUBLE_EQ(tabBarX(), s.tabBar) << s.to;
        EXPECT_DOUBLE_EQ(menuX(), s.menu) << s.to;
    }
}

TEST_F(DrawerTest, AClosingDragClosesOrSpringsBackOpen) {
    struct Case {
        const char* name;
        double to;
        int velocity;
        State state;
    };
    const Case cases[] = {
        {"to 150, moving left", 200, -1, State::Closed},
        {"to 150, held still", 200, 0, State::Open},
        {"to 0", 50, 0, State::Closed},
        {"to 150, moving right", 200, 1, State::Open},
    };
    for (const Case& c : cases) {
        container->showRight(true);
        ASSERT_EQ(container->openState(), State::Open);
        drag(250, c.to, c.velocity);
        EXPECT_EQ(container->openState(), c.state) << c.name;
        EXPECT_EQ(tabBarX(), c.state == State::Open ? 200 : 0) << c.name;
    }
}

TEST_F(DrawerTest, ShowToggleOpensFromEveryStateButOpen) {
    auto& center = ns::NotificationCenter::defaultCenter();
    center.postNotificationName(notification::kShowSideSlipView);
    EXPECT_EQ(container->openState(), State::Open);
    center.postNotificationName(notification::kShowSideSlipView);
    EXPECT_EQ(container->openState(), State::Closed);

    ASSERT_TRUE(press(20));
    moveTo(40); // opening
    center.postNotificationName(notification::kShowSideSlipView);
    EXPECT_EQ(container->openState(), State::Open);
    pan()->touchesCancelled();

    ASSERT_TRUE(press(230));
    moveTo(250); // closing
    EXPECT_EQ(container->openState(), State::Closing);
    center.postNotificationName(notification::kShowSideSlipView);
    EXPECT_EQ(container->openState(), State::Open);
    EXPECT_EQ(tabBarX(), 200);
}

TEST_F(DrawerTest, OnlyTheHomePageStartsADragButAnyScreenMovesAnOpenDrawer) {
    homeNavigation->pushViewController(
        tavrixConfig::getViewControllerWithString("Main&FNRootViewController"), false);
    EXPECT_FALSE(pan()->shouldReceiveTouch(touchAt(30)) ||
                 container->gestureRecognizerShouldReceiveTouch(pan(), touchAt(30)));
    container->showRight(true);
    EXPECT_TRUE(container->gestureRecognizerShouldReceiveTouch(pan(), touchAt(230)));
    homeNavigation->popViewControllerAnimated(false);
    container->showRight(false);
    EXPECT_TRUE(container->gestureRecognizerShouldReceiveTouch(pan(), touchAt(30)));
}

TEST_F(DrawerTest, AFingerOnTheHomePageDragsItOpenAndATapClosesIt) {
    // Through the window, as the pointer gives it: Qt picks the view under the point.
    windowinput::drag(window(), {20, 200}, {240, 200}, 3, 16);
    EXPECT_EQ(container->openState(), State::Open);
    EXPECT_EQ(tabBarX(), 200);

    // The tab bar ignores touches while open; the tap lands on its holder and closes.
    windowinput::click(window(), {250, 200});
    EXPECT_EQ(container->openState(), State::Closed);
    EXPECT_EQ(tabBarX(), 0);
}

TEST_F(DrawerTest, TheHomePagesDrawerButtonTogglesTheDrawer) {
    auto* button = qobject_cast<ui::Button*>(homeNavigation->navigationBar()->leftButtonView());
    ASSERT_NE(button, nullptr);
    windowinput::click(button);
    EXPECT_EQ(container->openState(), State::Open);
    // Open, the button has slid 200 points right with the tab bar; a click there closes.
    windowinput::click(button);
    EXPECT_EQ(container->openState(), State::Closed);
}

TEST_F(DrawerTest, AnInterruptedAnimationStillSettlesTheState) {
    ui::Animation::setEnabled(true);
    container->showRight(true);
    clock.clock.advance(100);
    container->tapRootView(nullptr); // closes while the opening still runs
    clock.clock.advance(2000);
    EXPECT_EQ(container->openState(), State::Closed);
    EXPECT_EQ(tabBarX(), 0);
    EXPECT_FALSE(attached(container->tapGestureRecognizer()));

    ASSERT_TRUE(press(20));
    moveTo(40);
    moveTo(200);
    release(200); // animates open
    ns::NotificationCenter::defaultCenter().postNotificationName(notification::kHideSideSlipView);
    clock.clock.advance(3000);
    EXPECT_EQ(container->openState(), State::Closed);
    EXPECT_EQ(menuX(), -88);
    EXPECT_EQ(ui::Animation::runningCount(), 0);
    ui::Animation::setEnabled(false);
}

TEST_F(DrawerTest, TheDrawerSpringsFromSystemSevenOnAndSlidesPlainBefore) {
    const struct {
        const char* version;
        bool opening;
        qint64 settledMs; // from the start until the tab bar rests
    } cases[] = {{"7.0", true, 900}, {"7.0", false, 700}, {"6.1", true, 400}, {"6.1", false, 400}};
    ui::Animation::setEnabled(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.version << (c.opening ? " opening" : " closing"));
        ns::DeviceInfo::setSystemVersion(c.version);
        container->showRight(c.opening);
        // The tab bar reaches its place only when the animation ends.
        const double restX = c.opening ? 200 : 0;
        qint64 settled = -1;
        for (qint64 ms = 0; ms <= 2000 && settled < 0; ms += 10) {
            if (tabBarX() == restX) settled = ms;
            clock.clock.advance(10);
        }
        EXPECT_NEAR(double(settled), double(c.settledMs), 30);
    }
    ns::DeviceInfo::setSystemVersion({});
    ui::Animation::setEnabled(false);
}

// A function chosen in the menu: the drawer slides the tab bar away and back while the home tab
// pushes the function's screen. A click on that screen's back button, once the tab bar is near
// its place, goes back home.
TEST_F(DrawerTest, TheChosenFunctionsScreenTakesClicksWhileTheTabBarSlidesBack) {
    const struct {
        const char* name;
        qint64 afterMs; // from the choice to the click
    } cases[] = {
        {"half-way back", 200 + 350},
        {"still to the eye", 200 + 550},
        {"at rest", 200 + 800},
    };
    ui::Animation::setEnabled(true);
    for (const auto& c : cases) {
        container->showRight(true);
        clock.clock.advance(1000);
        ASSERT_EQ(container->openState(), State::Open) << c.name;
        ns::NotificationCenter::defaultCenter().postNotificationName(
            notification::kHideSideSlipView);
        homeNavigation->pushViewController(
            tavrixConfig::getViewControllerWithString("Main&FNRootViewController"), true);
        clock.clock.advance(c.afterMs);
        ASSERT_LT(tabBarX(), 12) << c.name;
        windowinput::click(window(), windowinput::pointInWindow(
                                         homeNavigation->navigationBar()->backButtonView()));
        clock.clock.advance(2000);
        EXPECT_EQ(homeNavigation->viewControllers().size(), 1) << c.name;
        EXPECT_EQ(container->openState(), State::Closed) << c.name;
        EXPECT_EQ(tabBarX(), 0) << c.name;
        while (homeNavigation->viewControllers().size() > 1)
            homeNavigation->popViewControllerAnimated(false);
        QCoreApplication::sendPostedEvents(); // the screens left behind are released
    }
    ui::Animation::setEnabled(false);
}

TEST_F(DrawerTest, AnEndedSessionBringsBackTheLogInScreenOnce) {
    ns::NotificationCenter::defaultCenter().postNotificationName(notification::kPushToLoginVeiw);
    ASSERT_EQ(rootNavigation()->viewControllers().size(), 3);
    EXPECT_FALSE(rootNavigation()->isNavigationBarHidden());
    EXPECT_EQ(rootNavigation()->viewControllers().last()->storyboardIdentifier(),
              "LoginViewController");
    // Covered by the log-in screen, the container no longer answers.
    ns::NotificationCenter::defaultCenter().postNotificationName(notification::kPushToLoginVeiw);
    ns::NotificationCenter::defaultCenter().postNotificationName(notification::kShowSideSlipView);
    EXPECT_EQ(rootNavigation()->viewControllers().size(), 3);
    EXPECT_EQ(container->openState(), State::Closed);
}

} // namespace

namespace {

// The client after log-in against the sandbox, with screens reached by links as a desktop
// hands them over.
class OverWindowTest : public ShellHarness {
protected:
    void SetUp() override {
        ShellHarness::SetUp();
        standInForStartAndLogIn();
        signInAs(SandboxFixture::demoNumber(), sandbox.signIn());
        launch(sandbox.baseAddress());
        // As the log-in leaves it: the container fills the window.
        rootNavigation()->setNavigationBarHidden(true);
        ASSERT_NE(pushContainer(), nullptr);
    }
    ui::TabBarController* tabs() const { return container->rightViewController(); }
    // Replies arrive, overlays' and dialogs' timers run out, screens let go are deleted.
    void settle() {
        for (int i = 0; i < 5; ++i) {
            clock.clock.advance(500);
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    // Runs until done() holds, moving the overlays' timers on only while none of the screen's
    // requests is on its way: moved meanwhile, the clock ran a late answer's request into its
    // time-out (a loaded machine), and the screen showed that instead.
    bool settleUntil(const QObject* screen, const std::function<bool()>& done) {
        return waitUntil([&] {
            const QList<HTTPRequest*> requests = screen->findChildren<HTTPRequest*>();
            if (std::none_of(requests.begin(), requests.end(),
                             [](const HTTPRequest* r) { return r->isRunning(); }))
                clock.clock.advance(100);
            return done();
        });
    }
    // What lies over the screens: dialogs, alerts, sheets.
    QStringList overScreens() const {
        QStringList out;
        for (auto* dialog : window()->findChildren<ModalDialogView*>())
            out << QString("dialog %1").arg(dialog->tag());
        for (auto* alert : ui::AlertCenter::visibleAlerts())
            out << "alert " + alert->message();
        for (auto* sheet : ui::AlertCenter::visibleActionSheets())
            out << "sheet " + sheet->title();
        return out;
    }
    void clickAt(ui::View* view) {
        ASSERT_NE(view, nullptr);
        windowinput::click(window(), windowinput::pointInWindow(view));
        QCoreApplication::processEvents();
    }

    ns::ScopedManualClock clock;
    SandboxFixture sandbox;
};

// A dialog, sheet or alert a screen put over the window goes with the screen when a link
// takes the subscriber to the home tab: nothing is left over the screens and the tab bar takes
// the next click.
TEST_F(OverWindowTest, WhatAScreenPutOverTheWindowGoesWhenALinkTakesTheScreenAway) {
    struct Case {
        const char* what;
        const char* route; // opened on the query tab
        std::function<bool(ui::ViewController*)> ready;
        std::function<void(ui::ViewController*)> open; // by clicks, as a subscriber does
        QStringList shown;
    };
    auto planRow = [](ui::ViewController* vc) -> FlowSuitCell* {
        auto* screen = qobject_cast<FlowSuitChangeController*>(vc);
        ui::TableView* table = screen ? screen->tableViewOfRecommend() : nullptr;
        return table ? qobject_cast<FlowSuitCell*>(
                           table->cellForRowAtIndexPath(ui::IndexPath::forRow(0, 0)))
                     : nullptr;
    };
    auto packButton = [](ui::ViewController* vc) -> ui::Button* {
        auto* screen = qobject_cast<FlowMainController*>(vc);
        return screen && !screen->addFlowBtn()->isHidden() ? screen->addFlowBtn() : nullptr;
    };
    const Case cases[] = {
        {"the plan change's confirmation",
         "Flow&FlowSuitChangeController",
         [&](ui::ViewController* vc) { return planRow(vc) != nullptr; },
         [&](ui::ViewController* vc) { clickAt(planRow(vc)->orderBtn()); },
         {"dialog 0"}},
        {"the pack choice",
         "Flow&FlowMainController",
         [&](ui::ViewController* vc) { return packButton(vc) != nullptr; },
         [&](ui::ViewController* vc) { clickAt(packButton(vc)); },
         {"dialog 1"}},
        {"the pack confirmation",
         "Flow&FlowMainController",
         [&](ui::ViewController* vc) { return packButton(vc) != nullptr; },
         [&](ui::ViewController* vc) {
             clickAt(packButton(vc));
             clickAt(qobject_cast<FlowMainController*>(vc)->addFlowController()->confirmButton());
             settle();
         },
         {"dialog 2"}},
        {"the points exchange's question",
         "Main&PointsQueryViewController",
         [&](ui::ViewController* vc) {
             auto* screen = qobject_cast<PointsQueryViewController*>(vc);
             return screen && screen->collectionView()->cellForItem(0);
         },
         [&](ui::ViewController* vc) {
             clickAt(
                 qobject_cast<PointsQueryViewController*>(vc)->collectionView()->cellForItem(0));
         },
         {"alert 您将消耗1000积分兑换10元话费"}},
        {"the feedback type's sheet",
         "Main&FeedbackViewController",
         [&](ui::ViewController* vc) { return vc->isViewLoaded(); },
         [&](ui::ViewController* vc) {
             clickAt(qobject_cast<FeedbackViewController*>(vc)->typeButton());
         },
         {"sheet 请选择建议类型，以便我们分类处理"}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(app->openURL("kelvamor://QueryViewController", {})) << c.what;
        ASSERT_TRUE(app->openURL(QString("kelvamor://") + c.route, {})) << c.what;
        auto* query = qobject_cast<ui::NavigationController*>(tabs()->selectedViewController());
        ASSERT_NE(query, nullptr);
        ui::ViewController* screen = query->topViewController();
        ASSERT_TRUE(settleUntil(screen, [&] { return c.ready(screen); })) << c.what;
        settle();
        ui::AlertCenter::dismissAll(); // what the screen said while loading is not the point
        settle();
        c.open(screen);
        ASSERT_EQ(overScreens(), c.shown) << c.what;

        QPointer<ui::ViewController> gone(screen);
        ASSERT_TRUE(app->openURL("kelvamor://RootViewController", {})) << c.what;
        settle();
        EXPECT_EQ(tabs()->selectedIndex(), 0) << c.what;
        EXPECT_TRUE(gone.isNull()) << c.what;
        EXPECT_EQ(overScreens(), QStringList()) << c.what;
        // The tab bar takes a click again.
        windowinput::click(window(), windowinput::pointInWindow(
                                         tabs()->tabBar(), tabs()->tabBar()->itemRect(2).center()));
        EXPECT_EQ(tabs()->selectedIndex(), 2) << c.what;
    }
}

} // namespace
