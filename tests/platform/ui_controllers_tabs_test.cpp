#include <QCoreApplication>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/ui/NavigationController.h"
#include "platform/ui/TabBar.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/TabBarItem.h"
#include "platform/ui/View.h"
#include "tests/support/LifeCycleScreen.h"

using namespace ui;

namespace {

QStringList g_log;

struct Screen : LifeCycleScreen {
    explicit Screen(QString name) : LifeCycleScreen(std::move(name), g_log) {}
};

struct Tabs {
    std::unique_ptr<TabBarController> tbc = std::make_unique<TabBarController>();
    QList<Screen*> roots;
    QList<NavigationController*> navs;

    explicit Tabs(int count = 3) {
        QList<ViewController*> vcs;
        for (int i = 0; i < count; ++i) {
            roots << new Screen(QString("T%1").arg(i));
            navs << new NavigationController(roots.last());
            navs.last()->tabBarItem()->setTitle(QString("tab%1").arg(i));
            vcs << navs.last();
        }
        tbc->setViewControllers(vcs);
        tbc->view();
        tbc->beginAppearanceTransition(true, false);
        tbc->endAppearanceTransition();
        g_log.clear();
    }
    QRectF selectedFrame() const { return tbc->selectedViewController()->view()->frame(); }
};

struct RecordingDelegate : QObject, TabBarControllerDelegate {
    bool allow = true;
    QStringList calls;
    bool tabBarControllerShouldSelectViewController(TabBarController* t,
                                                    ViewController* vc) override {
        calls << QString("should:%1").arg(t->viewControllers().indexOf(vc));
        return allow;
    }
    void tabBarControllerDidSelectViewController(TabBarController* t, ViewController* vc) override {
        calls << QString("did:%1").arg(t->viewControllers().indexOf(vc));
    }
};

TEST(TabBarController, SwitchingTabsMovesAppearanceBetweenTheirTopScreens) {
    Tabs tabs;
    EXPECT_EQ(tabs.tbc->selectedIndex(), 0);
    tabs.tbc->setSelectedIndex(2);
    EXPECT_EQ(
        LifeCycleScreen::appearances(g_log),
        QStringList({"T0:willDisappear", "T2:willAppear", "T0:didDisappear", "T2:didAppear"}));
    g_log.clear();
    tabs.tbc->setSelectedIndex(2);  // already there
    tabs.tbc->setSelectedIndex(7);  // no such tab
    tabs.tbc->setSelectedIndex(-1); // no such tab
    EXPECT_TRUE(LifeCycleScreen::appearances(g_log).isEmpty());
    EXPECT_EQ(tabs.tbc->selectedIndex(), 2);
    EXPECT_EQ(tabs.tbc->tabBar()->selectedIndex(), 2);
}

TEST(TabBarController, BarHidesWhileTheStackHoldsAScreenThatAsksForIt) {
    struct Case {
        const char* name;
        QList<bool> pushedFlags; // hidesBottomBarWhenPushed of each pushed screen, in order
        bool hidden;
    };
    const QList<Case> cases = {
        {"nothing pushed", {}, false},
        {"plain screen", {false}, false},
        {"hiding screen", {true}, true},
        {"plain screen above a hiding one", {true, false}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Tabs tabs;
        for (bool flag : c.pushedFlags) {
            auto* s = new Screen("S");
            s->setHidesBottomBarWhenPushed(flag);
            tabs.navs[0]->pushViewController(s, true);
        }
        // The covered root keeps its size: resized, it would come back scrolled elsewhere.
        EXPECT_EQ(tabs.roots[0]->view()->frame().size(), QSizeF(320, 455));
        EXPECT_EQ(tabs.tbc->isTabBarHidden(), c.hidden);
        EXPECT_EQ(tabs.tbc->tabBar()->isHidden(), c.hidden);
        EXPECT_EQ(tabs.selectedFrame(), QRectF(0, 0, 320, c.hidden ? 568 : 519));
        if (ViewController* top = tabs.navs[0]->topViewController(); top != tabs.roots[0]) {
            EXPECT_EQ(top->view()->frame().height(), c.hidden ? 504 : 455);
        }
        tabs.navs[0]->popToRootViewControllerAnimated(false);
        EXPECT_FALSE(tabs.tbc->isTabBarHidden());
        // Another tab's stack decides nothing while it is not selected.
        auto* s = new Screen("S");
        s->setHidesBottomBarWhenPushed(true);
        tabs.navs[1]->pushViewController(s, false);
        EXPECT_FALSE(tabs.tbc->isTabBarHidden());
        tabs.tbc->setSelectedIndex(1);
        EXPECT_TRUE(tabs.tbc->isTabBarHidden());
        QCoreApplication::sendPostedEvents(nullptr, 0);
    }
}

TEST(TabBarController, TouchesAskTheDelegateProgrammaticSelectionDoesNot) {
    Tabs tabs;
    RecordingDelegate delegate;
    tabs.tbc->setDelegate(&delegate);
    tabs.tbc->setSelectedIndex(1);
    EXPECT_TRUE(delegate.calls.isEmpty());

    delegate.allow = false;
    tabs.tbc->tabBar()->touchItem(2);
    EXPECT_EQ(delegate.calls, QStringList({"should:2"}));
    EXPECT_EQ(tabs.tbc->selectedIndex(), 1);

    delegate.allow = true;
    delegate.calls.clear();
    // A real click on the third item's area.
    TabBar* bar = tabs.tbc->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->itemRect(2).center().toPoint());
    EXPECT_EQ(delegate.calls, QStringList({"should:2", "did:2"}));
    EXPECT_EQ(tabs.tbc->selectedIndex(), 2);

    // Touching the selected tab returns its stack to the root.
    QPointer<Screen> pushed = new Screen("P");
    tabs.navs[2]->pushViewController(pushed, false);
    tabs.tbc->tabBar()->touchItem(2);
    EXPECT_EQ(tabs.navs[2]->viewControllers(), QList<ViewController*>({tabs.roots[2]}));
    QCoreApplication::sendPostedEvents(nullptr, 0);
    EXPECT_FALSE(pushed);
}

TEST(TabBarController, DroppingTheSelectedTabFallsBackToTheFirst) {
    Tabs tabs;
    tabs.tbc->setSelectedIndex(2);
    QPointer<NavigationController> dropped = tabs.navs[2];
    g_log.clear();
    tabs.tbc->setViewControllers({tabs.navs[0], tabs.navs[1]});
    EXPECT_EQ(tabs.tbc->selectedIndex(), 0);
    EXPECT_EQ(
        LifeCycleScreen::appearances(g_log),
        QStringList({"T2:willDisappear", "T2:didDisappear", "T0:willAppear", "T0:didAppear"}));
    EXPECT_EQ(tabs.tbc->tabBar()->items().size(), 2);
    QCoreApplication::sendPostedEvents(nullptr, 0);
    EXPECT_FALSE(dropped);

    // Keeping the selected screen keeps the selection, even when its index moves.
    tabs.tbc->setSelectedIndex(1);
    tabs.tbc->setViewControllers({tabs.navs[1], tabs.navs[0]});
    EXPECT_EQ(tabs.tbc->selectedViewController(), tabs.navs[1]);
    EXPECT_EQ(tabs.tbc->selectedIndex(), 0);
}

TEST(TabBarController, ADisabledItemTakesNoTouchAndAnItemImageDraws) {
    Tabs tabs;
    TabBar* bar = tabs.tbc->tabBar();
    EXPECT_EQ(bar->indexAt(QPointF(-5, 10)), -1);
    tabs.navs[1]->tabBarItem()->setEnabled(false);
    bar->touchItem(1);
    EXPECT_EQ(tabs.tbc->selectedIndex(), 0);
    // Drawing with an item image and no selected image must not fail.
    QImage icon(QSize(30, 30), QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::red);
    tabs.navs[0]->tabBarItem()->setImage(icon);
    EXPECT_FALSE(bar->renderToImage().isNull());
}

} // namespace
