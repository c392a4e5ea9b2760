#include "platform/foundation/Clock.h"
#include "platform/ui/AlertCenter.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/TextField.h"
#include "screens/entry/LoginViewController.h"
#include "screens/shell/NavbarViewController.h"
#include "screens/shell/SideSlipViewController.h"
#include "screens/shell/TavrixApplicationSpecific.h"
#include "tests/screens/shell/ShellHarness.h"
#include "tests/support/AnimationFrames.h"
#include "tests/support/SandboxFixture.h"

#include <algorithm>

namespace {

// The client after log-in against the sandbox, its slides run frame by frame.
class BarsTest : public ShellHarness {
protected:
    void SetUp() override {
        ShellHarness::SetUp();
        shell_test::restoreScenes();
        ui::Storyboard::registerScene("Main", "DefaultVC", [] { return new ui::ViewController; });
        signInAs(SandboxFixture::demoNumber(), sandbox.signIn());
        launch(sandbox.baseAddress());
        rootNavigation()->setNavigationBarHidden(true); // as the log-in leaves it
        ASSERT_NE(pushContainer(), nullptr);
        ui::Animation::setEnabled(true);
    }
    void TearDown() override {
        ui::Animation::setEnabled(false);
        ShellHarness::TearDown();
    }

    // The screens shown, from the window's root down to the page on top.
    QList<ui::ViewController*> shownChain() const {
        QList<ui::ViewController*> chain;
        for (ui::ViewController* vc = rootNavigation(); vc;) {
            chain << vc;
            if (auto* nav = qobject_cast<ui::NavigationController*>(vc))
                vc = nav->topViewController();
            else if (auto* tabs = qobject_cast<ui::TabBarController*>(vc))
                vc = tabs->selectedViewController();
            else if (auto* rink = qobject_cast<SkatingRinkViewController*>(vc))
                vc = rink->rightViewController();
            else
                vc = nullptr;
        }
        return chain;
    }
    QList<ui::NavigationController*> shownStacks() const {
        QList<ui::NavigationController*> stacks;
        for (ui::ViewController* vc : shownChain())
            if (auto* nav = qobject_cast<ui::NavigationController*>(vc)) stacks << nav;
        return stacks;
    }
    ui::NavigationController* innermostStack() const { return shownStacks().last(); }
    ui::TabBarController* tabs() const { return container->rightViewController(); }
    void runFramesWhile(const std::function<bool()>& moving) {
        eachFrame(clock.clock, moving, [](int) {});
    }
    void runSlides() {
        runFramesWhile([this] {
            const QList<ui::NavigationController*> stacks = shownStacks();
            return std::any_of(stacks.begin(), stacks.end(), [](ui::NavigationController* nav) {
                return nav->isTransitioning();
            });
        });
    }
    QRectF inWindow(QWidget* view) const {
        return QRectF(QPointF(view->mapTo(window(), QPoint(0, 0))), QSizeF(view->size()));
    }
    // Each screen shown fills what its containers' bars leave it, and each bar shown is drawn
    // where it belongs: across the top of its stack, along the foot of its tabs.
    void expectLaidOutByTheirBars() {
        const QImage shot = window()->renderToImage();
        QRectF area(0, 0, 320, 568);
        const auto expectBar = [&](ui::View* bar, bool shown, const QRectF& at) {
            EXPECT_EQ(!bar->isHidden(), shown) << bar->metaObject()->className();
            if (!shown) return;
            EXPECT_EQ(inWindow(bar), at);
            EXPECT_EQ(differingPixels(shot.copy(at.toRect()), bar->renderToImage(),
                                      QRect(QPoint(), at.size().toSize())),
                      0);
        };
        for (ui::ViewController* vc : shownChain()) {
            EXPECT_EQ(inWindow(vc->view()), area) << vc->metaObject()->className();
            if (auto* nav = qobject_cast<ui::NavigationController*>(vc)) {
                const QRectF bar(area.topLeft(), QSizeF(area.width(), ui::NavigationBar::kHeight));
                expectBar(nav->navigationBar(), !nav->isNavigationBarHidden(), bar);
                if (!nav->isNavigationBarHidden()) area.setTop(bar.bottom());
            } else if (auto* t = qobject_cast<ui::TabBarController*>(vc)) {
                const QRectF bar(0, area.bottom() - ui::TabBar::kHeight, area.width(),
                                 ui::TabBar::kHeight);
                expectBar(t->tabBar(), !t->isTabBarHidden(), bar);
                if (!t->isTabBarHidden()) area.setBottom(bar.top());
            }
        }
    }
    static ui::ViewController* plainScreen(bool hidesTabBar) {
        auto* screen = new ui::ViewController;
        screen->setHidesBottomBarWhenPushed(hidesTabBar);
        return screen;
    }

    ns::ScopedManualClock clock;
    SandboxFixture sandbox;
};

// After every kind of slide each screen has the size its bars leave it: the home page comes
// back under its tab bar at 455 points, the log-in screen under its bar, the container after
// the log-in over the whole window.
TEST_F(BarsTest, EverySlideLeavesEachScreenWhereItsBarsSay) {
    const auto press = [](ui::Button* button) {
        ASSERT_NE(button, nullptr);
        button->sendActionsForControlEvents(ui::Control::TouchUpInside);
    };
    const struct {
        const char* slide;
        std::function<void()> run;
        QList<double> pageHeights; // the page on top of each stack shown, outermost first
    } steps[] = {
        {"push of a screen that hides the tab bar",
         [&] { innermostStack()->pushViewController(plainScreen(true), true); },
         {568, 504}},
        {"pop back to the home page",
         [&] { innermostStack()->popViewControllerAnimated(true); },
         {568, 455}},
        {"push of a screen that keeps the tab bar",
         [&] { innermostStack()->pushViewController(plainScreen(false), true); },
         {568, 455}},
        {"pop keeping the tab bar",
         [&] { innermostStack()->popViewControllerAnimated(true); },
         {568, 455}},
        {"tab change to a stack that hides the bar",
         [&] {
             auto* query = qobject_cast<ui::NavigationController*>(tabs()->viewControllers()[1]);
             query->pushViewController(plainScreen(true), false);
             tabs()->tabBar()->touchItem(1);
         },
         {568, 504}},
        {"tab change back to the home page", [&] { tabs()->tabBar()->touchItem(0); }, {568, 455}},
        {"tab change while a slide carries the bar away",
         [&] {
             innermostStack()->pushViewController(plainScreen(true), true);
             clock.clock.advance(100);
             tabs()->tabBar()->touchItem(2);
         },
         {568, 455}},
        {"log-out",
         [&] {
             tabs()->tabBar()->touchItem(0);
             runSlides();
             container->showRight(true);
             runFramesWhile(
                 [&] { return container->openState() != SkatingRinkViewController::Open; });
             press(container->leftViewController()->buttonWithTag(
                 SideSlipViewController::kLogoutTag));
             ASSERT_TRUE(ui::AlertCenter::press("确认"));
         },
         {504}},
        {"log-in",
         [&] {
             auto* login =
                 qobject_cast<LoginViewController*>(innermostStack()->topViewController());
             ASSERT_NE(login, nullptr);
             login->userName()->setText(SandboxFixture::demoNumber());
             login->passWord()->setText(SandboxFixture::demoPassword());
             press(login->loginButton());
             ASSERT_TRUE(waitUntil([&] {
                 container = qobject_cast<SkatingRinkViewController*>(
                     rootNavigation()->topViewController());
                 return container != nullptr;
             }));
         },
         {568, 455}},
        {"push after the log-in",
         [&] { innermostStack()->pushViewController(plainScreen(true), true); },
         {568, 504}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.slide);
        step.run();
        runSlides();
        expectLaidOutByTheirBars();
        QList<double> heights;
        for (ui::NavigationController* nav : shownStacks())
            heights << nav->topViewController()->view()->frame().height();
        EXPECT_EQ(heights, step.pageHeights);
    }
}

// The brand bar's way back is the "header_back" picture in its own white on the bar's blue,
// read from the bar as drawn: every pixel there is the blue, the white or a blend of the two
// (a tint would bring another colour), and as many are white as the picture has strokes.
TEST(NavbarBackIndicator, IsTheBackPictureInItsOwnColours) {
    NavbarViewController nav(new ui::ViewController);
    nav.view();
    nav.pushViewController(new ui::ViewController, false);
    ui::NavigationBar* bar = nav.navigationBar();
    auto* back = qobject_cast<ui::Button*>(bar->backButtonView());
    ASSERT_NE(back, nullptr);
    const QImage indicator = ui::imageNamed("header_back");
    const QSize size = indicator.deviceIndependentSize().toSize();
    const QRect at(back->imageView()->mapTo(bar, QPoint(0, 0)), size);
    EXPECT_EQ(back->imageView()->size(), size);
    const QImage shot = bar->renderToImage();
    const QColor blue = TavrixApplicationSpecific::tavrix_blueColor();
    int white = 0, otherColour = 0;
    for (int y = at.top(); y <= at.bottom(); ++y)
        for (int x = at.left(); x <= at.right(); ++x) {
            const QColor p = shot.pixelColor(x, y);
            const double share = double(p.red() - blue.red()) / (255 - blue.red());
            const auto blended = [share](int from) { return from + share * (255 - from); };
            if (std::abs(p.green() - blended(blue.green())) > 3 ||
                std::abs(p.blue() - blended(blue.blue())) > 3)
                ++otherColour;
            if (p.lightness() >= 250) ++white;
        }
    const QImage strokes = indicator.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int opaque = 0;
    for (int y = 0; y < strokes.height(); ++y)
        for (int x = 0; x < strokes.width(); ++x)
            if (strokes.pixelColor(x, y).alpha() >= 250) ++opaque;
    EXPECT_EQ(otherColour, 0);
    EXPECT_GT(opaque, 20);
    EXPECT_NEAR(white, opaque, opaque / 3);
}

} // namespace
