#include <QCoreApplication>
#include <QPointer>
#include <gtest/gtest.h>

#include "platform/foundation/Clock.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/View.h"
#include "tests/platform/PlatformHarness.h"
#include "tests/support/AnimationFrames.h"
#include "tests/support/LifeCycleScreen.h"

using namespace ui;
using platformtest::shownNav;

namespace {

QStringList g_log;

class Screen : public LifeCycleScreen {
public:
    explicit Screen(QString name) : LifeCycleScreen(std::move(name), g_log) {}
    void viewDidLoad() override {
        LifeCycleScreen::viewDidLoad();
        if (onLoad) onLoad();
    }
    std::function<void()> onLoad;
    // A screen popping itself from its own handler, then reading its own state.
    QString popSelfAndReadName() {
        navigationController()->popViewControllerAnimated(false);
        return name();
    }
};

void flushReleases() {
    QCoreApplication::sendPostedEvents(nullptr, 0);
}

class Navigation : public ::testing::Test {
protected:
    void SetUp() override { g_log.clear(); }
    void TearDown() override { flushReleases(); }
};

TEST_F(Navigation, LifeCycleOrderOfStackOperations) {
    struct Case {
        const char* name;
        std::function<void(NavigationController&, QList<Screen*>&)> op;
        QStringList expected;
    };
    const QList<Case> cases = {
        {"push",
         [](NavigationController& nav, QList<Screen*>& s) { nav.pushViewController(s[2], true); },
         {"C:load", "B:willDisappear", "C:willAppear", "B:didDisappear", "C:didAppear", "C:moved"}},
        {"pop",
         [](NavigationController& nav, QList<Screen*>&) { nav.popViewControllerAnimated(true); },
         {"B:willDisappear", "A:willAppear", "B:didDisappear", "A:didAppear", "B:removed"}},
        {"pop to root over two",
         [](NavigationController& nav, QList<Screen*>& s) {
             nav.pushViewController(s[2], false);
             g_log.clear();
             nav.popToRootViewControllerAnimated(true);
         },
         // B never shows on the way down.
         {"C:willDisappear", "A:willAppear", "C:didDisappear", "A:didAppear", "B:removed",
          "C:removed"}},
        {"replace stack with a new top",
         [](NavigationController& nav, QList<Screen*>& s) {
             nav.setViewControllers({s[0], s[2]}, false);
         },
         {"C:load", "B:willDisappear", "C:willAppear", "B:didDisappear", "C:didAppear", "B:removed",
          "C:moved"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QList<Screen*> s = {new Screen("A"), new Screen("B"), new Screen("C")};
        auto nav = shownNav(s[0]);
        nav->pushViewController(s[1], false);
        g_log.clear();
        c.op(*nav, s);
        EXPECT_EQ(g_log, c.expected);
        for (Screen* screen : s)
            if (!screen->parent()) delete screen; // never taken up by the stack
        g_log.clear();
    }
}

TEST_F(Navigation, HiddenStackCallsNothingUntilItAppears) {
    auto* a = new Screen("A");
    auto* b = new Screen("B");
    NavigationController nav(a);
    nav.pushViewController(b, true);
    EXPECT_TRUE(g_log.filter("Appear").isEmpty());
    nav.view();
    g_log.clear();
    nav.beginAppearanceTransition(true, false);
    nav.endAppearanceTransition();
    EXPECT_EQ(g_log, QStringList({"B:willAppear", "B:didAppear"}));
    EXPECT_FALSE(a->isViewLoaded()); // the lower screen is loaded only when it shows
}

TEST_F(Navigation, ScreensTakenOffAreDeletedOnTheNextPass) {
    auto* a = new Screen("A");
    QPointer<Screen> b = new Screen("B"), c = new Screen("C"), d = new Screen("D");
    auto nav = shownNav(a);
    nav->pushViewController(b, false);
    nav->pushViewController(c, false);
    nav->pushViewController(d, false);

    EXPECT_EQ(nav->popViewControllerAnimated(false), d.data());
    EXPECT_TRUE(d); // callers may still use it in this pass
    flushReleases();
    EXPECT_FALSE(d);

    // A screen popped and pushed again before the next pass survives.
    nav->popViewControllerAnimated(false);
    nav->pushViewController(c, false);
    flushReleases();
    ASSERT_TRUE(c);
    EXPECT_EQ(nav->topViewController(), c.data());

    // A screen popping itself from its own handler finishes the handler.
    EXPECT_EQ(c->popSelfAndReadName(), "C");
    nav->popToRootViewControllerAnimated(false);
    flushReleases();
    EXPECT_FALSE(b);
    EXPECT_FALSE(c);
    EXPECT_EQ(nav->viewControllers(), QList<ViewController*>({a}));
}

// What a screen laid over the window goes as the screen leaves the window or is destroyed,
// once, never after it went by itself, and never reaching back into a screen being destroyed.
TEST_F(Navigation, WhatAScreenLaidOverTheWindowGoesWithIt) {
    struct Case {
        const char* what;
        std::function<void(NavigationController&, QPointer<Screen>&)> away;
        bool itemGoneFirst;
        int dismissed;
    };
    const Case cases[] = {
        {"popped",
         [](NavigationController& nav, QPointer<Screen>&) { nav.popViewControllerAnimated(false); },
         false, 1},
        {"covered by a push",
         [](NavigationController& nav, QPointer<Screen>&) {
             nav.pushViewController(new Screen("C"), true);
         },
         false, 1},
        {"destroyed on screen", [](NavigationController&, QPointer<Screen>& b) { delete b.data(); },
         false, 1},
        {"closed by the subscriber first",
         [](NavigationController& nav, QPointer<Screen>&) { nav.popViewControllerAnimated(false); },
         true, 0},
    };
    for (const Case& c : cases) {
        auto nav = shownNav(new Screen("A"));
        QPointer<Screen> b = new Screen("B");
        nav->pushViewController(b, false);
        QPointer<QObject> item = new QObject;
        int dismissed = 0;
        bool screenGoneWhenDismissed = true;
        b->keepOverWindowWhileShown(item, [&] {
            ++dismissed;
            screenGoneWhenDismissed = b.isNull();
        });
        if (c.itemGoneFirst) delete item.data();
        c.away(*nav, b);
        flushReleases();
        EXPECT_EQ(dismissed, c.dismissed) << c.what;
        // Only a destroyed screen is gone when its items are dismissed.
        const bool destroyed = std::string(c.what) == "destroyed on screen";
        if (dismissed > 0) {
            EXPECT_EQ(screenGoneWhenDismissed, destroyed) << c.what;
        }
        delete b.data(); // a second going dismisses nothing more
        EXPECT_EQ(dismissed, c.dismissed) << c.what;
        delete item.data();
    }
}

TEST_F(Navigation, RefusedStackOperationsChangeNothing) {
    auto* a = new Screen("A");
    auto* b = new Screen("B");
    auto nav = shownNav(a);
    nav->pushViewController(b, false);
    g_log.clear();
    nav->pushViewController(b, true);       // already on the stack
    nav->pushViewController(nullptr, true); // nothing
    nav->pushViewController(nav.get(), true);
    Screen stray("stray");
    EXPECT_TRUE(nav->popToViewController(&stray, true).isEmpty());
    EXPECT_TRUE(g_log.filter("Appear").isEmpty());
    EXPECT_EQ(nav->viewControllers(), QList<ViewController*>({a, b}));
    nav->popViewControllerAnimated(false);
    EXPECT_EQ(nav->popViewControllerAnimated(false), nullptr); // the root stays
    EXPECT_EQ(nav->topViewController(), a);
    g_log.clear();
}

TEST_F(Navigation, APushDuringAnAnimatedPushCompletesTheFirst) {
    ns::ScopedManualClock clock;
    Animation::setEnabled(true);
    auto* a = new Screen("A");
    auto* b = new Screen("B");
    auto* c = new Screen("C");
    auto nav = shownNav(a);
    nav->pushViewController(b, true);
    EXPECT_TRUE(nav->isTransitioning());
    EXPECT_FALSE(g_log.contains("B:didAppear"));
    nav->pushViewController(c, true);
    // B came fully on screen and left again before C started.
    EXPECT_EQ(g_log.mid(g_log.indexOf("B:didAppear")),
              QStringList({"B:didAppear", "B:moved", "C:load", "B:willDisappear", "C:willAppear"}));
    clock.clock.advance(1000);
    Animation::setEnabled(false);
    EXPECT_FALSE(nav->isTransitioning());
    EXPECT_TRUE(g_log.endsWith("C:moved"));
    EXPECT_EQ(nav->viewControllers(), QList<ViewController*>({a, b, c}));
    EXPECT_EQ(c->view()->frame(), QRectF(0, 0, 320, 504));
    EXPECT_EQ(b->view()->superview(), nullptr); // off screen once covered
}

TEST_F(Navigation, BarShowsTitleAndBackButtonAndPops) {
    auto* a = new Screen("A");
    a->setTitle("首页");
    auto nav = shownNav(a);
    NavigationBar* bar = nav->navigationBar();
    EXPECT_EQ(bar->displayedTitle(), "首页");
    EXPECT_FALSE(bar->isBackButtonShown());

    struct Case {
        const char* name;
        std::function<void(ViewController*)> setup;
        bool back;
    };
    const QList<Case> cases = {
        {"plain", [](ViewController*) {}, true},
        {"hides back", [](ViewController* vc) { vc->navigationItem()->setHidesBackButton(true); },
         false},
        {"own left item",
         [](ViewController* vc) {
             vc->navigationItem()->setLeftBarButtonItem(new BarButtonItem("关闭"));
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* b = new Screen("B");
        c.setup(b);
        nav->pushViewController(b, false);
        b->navigationItem()->setTitle("详情"); // later changes reach the bar
        EXPECT_EQ(bar->displayedTitle(), "详情");
        EXPECT_EQ(bar->isBackButtonShown(), c.back);
        if (c.back) {
            auto* button = qobject_cast<Button*>(bar->backButtonView());
            ASSERT_NE(button, nullptr);
            button->sendActionsForControlEvents(Control::TouchUpInside);
            EXPECT_EQ(nav->topViewController(), a);
        } else {
            nav->popViewControllerAnimated(false);
        }
        EXPECT_EQ(bar->displayedTitle(), "首页");
        flushReleases();
    }
}

TEST_F(Navigation, HidingTheBarGivesTheScreenTheFullHeight) {
    auto* a = new Screen("A");
    auto nav = shownNav(a);
    EXPECT_EQ(a->view()->frame(), QRectF(0, 0, 320, 504));
    EXPECT_EQ(a->view()->convertRectToView(a->view()->bounds(), nav->view()),
              QRectF(0, 64, 320, 504));
    nav->setNavigationBarHidden(true, true);
    EXPECT_EQ(a->view()->convertRectToView(a->view()->bounds(), nav->view()),
              QRectF(0, 0, 320, 568));
    EXPECT_TRUE(nav->navigationBar()->isHidden());
    nav->setNavigationBarHidden(false, false);
    EXPECT_FALSE(nav->navigationBar()->isHidden());
    EXPECT_EQ(a->view()->frame().height(), 504);
}

// The bar shown or hidden just before a push or pop (or by the incoming screen as it loads)
// comes or goes with the screen that shows it, frame by frame: no screen moves down or changes
// size meanwhile, and the bar is never drawn over the screen without it. Shown once drawn (by
// the event loop, or by a drawing made at once), it stays where it is.
TEST_F(Navigation, ABarShownOrHiddenForTheNextScreenTravelsWithIt) {
    enum When { JustBefore, AsItLoads, OnceDrawn, DrawnAtOnce };
    enum Rider { WithA, WithB, Fixed };
    const QRectF full(0, 0, 320, 568), under(0, 64, 320, 504);
    const struct {
        const char* name;
        bool hiddenAtStart, push;
        When when;
        QRectF aRests, bRests;
        Rider bar;
    } cases[] = {
        {"shown just before a push", true, true, JustBefore, full, under, WithB},
        {"hidden just before a push", false, true, JustBefore, under, full, WithA},
        {"shown just before a pop", true, false, JustBefore, under, full, WithA},
        {"shown by the pushed screen as it loads", true, true, AsItLoads, full, under, WithB},
        {"shown and drawn before a push", true, true, OnceDrawn, under, under, Fixed},
        {"shown and drawn at once before a push", true, true, DrawnAtOnce, under, under, Fixed},
    };
    ns::ScopedManualClock clock;
    Animation::setEnabled(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* a = new Screen("A");
        auto* b = new Screen("B");
        auto nav = shownNav(a);
        a->view()->setBackgroundColor(Qt::red);
        nav->setNavigationBarHidden(c.hiddenAtStart);
        flushReleases(); // drawn
        if (!c.push) nav->pushViewController(b, false);
        NavigationBar* bar = nav->navigationBar();
        const QImage barBefore = bar->renderToImage();
        const auto change = [&nav, &c] { nav->setNavigationBarHidden(!c.hiddenAtStart); };
        if (c.when == AsItLoads)
            b->onLoad = change;
        else
            change();
        if (c.when == OnceDrawn) flushReleases();
        if (c.when == DrawnAtOnce) {
            QImage drawn(nav->view()->size(), QImage::Format_ARGB32_Premultiplied);
            nav->view()->render(&drawn);
        }
        if (c.push)
            nav->pushViewController(b, true);
        else
            nav->popViewControllerAnimated(true);
        b->view()->setBackgroundColor(Qt::green);
        const QImage barAfter = bar->renderToImage();
        const auto at = [&nav](ViewController* vc) {
            return vc->view()->convertRectToView(vc->view()->bounds(), nav->view());
        };
        int wrongFrames = 0;
        const int frames = eachFrame(
            clock.clock, [&] { return nav->isTransitioning(); },
            [&](int frame) {
                if (!nav->isTransitioning()) return; // the outgoing screen has left the view
                const QRectF aAt = at(a), bAt = at(b);
                EXPECT_EQ(aAt.translated(-aAt.x(), 0), c.aRests);
                EXPECT_EQ(bAt.translated(-bAt.x(), 0), c.bRests);
                const auto barOf = [&](QRectF page, bool outgoing) {
                    return PictureLayer{QRectF(page.x(), page.y() - 64, 320, 64),
                                        {},
                                        outgoing ? barBefore : barAfter};
                };
                // Bottom to top: the screen underneath, then the one sliding over it.
                QList<PictureLayer> layers = {{aAt, Qt::red, {}}};
                if (c.bar == WithA) layers << barOf(aAt, c.push);
                layers << PictureLayer{bAt, Qt::green, {}};
                if (c.bar == WithB) layers << barOf(bAt, !c.push);
                if (c.bar == Fixed) layers << PictureLayer{QRectF(0, 0, 320, 64), {}, barAfter};
                const QImage shot = nav->view()->renderToImage();
                if (differingPixels(shot, pictureOfLayers(shot.size(), layers), shot.rect()) > 0)
                    ++wrongFrames;
                if (frame == 8)
                    shot.save(QString("%1/navigation-bar-%2.png")
                                  .arg(animationFramesDir(), QString(c.name).replace(' ', '-')));
            });
        EXPECT_GE(frames, 15);
        EXPECT_EQ(wrongFrames, 0);
        EXPECT_EQ(bar->isHidden(), nav->isNavigationBarHidden());
        EXPECT_EQ(at(nav->topViewController()), c.push ? c.bRests : c.aRests);
    }
    Animation::setEnabled(false);
}

struct RecordingDelegate : QObject, NavigationControllerDelegate {
    QStringList calls;
    void navigationControllerWillShowViewController(NavigationController*, ViewController* vc,
                                                    bool) override {
        calls << "will:" + vc->title();
    }
    void navigationControllerDidShowViewController(NavigationController*, ViewController* vc,
                                                   bool) override {
        calls << "did:" + vc->title();
    }
};

TEST_F(Navigation, DelegateHearsEachShownScreenAndIsDroppedWhenGone) {
    auto* a = new Screen("A");
    auto nav = shownNav(a);
    auto delegate = std::make_unique<RecordingDelegate>();
    nav->setDelegate(delegate.get());
    auto* b = new Screen("B");
    b->setTitle("B");
    nav->pushViewController(b, true);
    EXPECT_EQ(delegate->calls, QStringList({"will:B", "did:B"}));
    delegate.reset();
    nav->popViewControllerAnimated(true); // must not reach the destroyed delegate
    EXPECT_EQ(nav->delegate(), nullptr);
}

TEST_F(Navigation, ACustomBarViewSurvivesTheBarBeingRebuilt) {
    auto* a = new Screen("A");
    QPointer<View> custom = new View(QRectF(0, 0, 30, 30));
    a->navigationItem()->setLeftBarButtonItem(new BarButtonItem(custom.data()));
    auto nav = shownNav(a);
    EXPECT_EQ(nav->navigationBar()->leftButtonView(), custom.data());
    nav->pushViewController(new Screen("B"), false);
    nav->popViewControllerAnimated(false);
    flushReleases();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(custom.isNull());
    EXPECT_EQ(nav->navigationBar()->leftButtonView(), custom.data());
    EXPECT_FALSE(custom->isHidden());
}

} // namespace
