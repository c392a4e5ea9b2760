#include <QCoreApplication>
#include <QPointer>
#include <gtest/gtest.h>

#include "platform/foundation/Clock.h"
#include "platform/ui/Animation.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "tests/platform/PlatformHarness.h"

using namespace ui;
using platformtest::flush;
using platformtest::shownNav;

namespace {

QStringList g_log;

class StoryScreen : public ViewController {
    Q_OBJECT
public:
    QString name = "screen";
    QString seenSegue;
    QObject* seenSender = nullptr;
    ViewController* seenDestination = nullptr;
    QString stampOnDestination;

    void viewDidLoad() override { g_log << name + ":load"; }
    void viewWillAppear(bool) override { g_log << name + ":willAppear"; }
    void viewDidAppear(bool) override { g_log << name + ":didAppear"; }
    void viewWillDisappear(bool) override { g_log << name + ":willDisappear"; }
    void viewDidDisappear(bool) override { g_log << name + ":didDisappear"; }
    void prepareForSegue(StoryboardSegue* segue, QObject* sender) override {
        seenSegue = segue->identifier();
        seenSender = sender;
        seenDestination = segue->destinationViewController();
        if (auto* dest = qobject_cast<StoryScreen*>(seenDestination)) {
            dest->name = stampOnDestination.isEmpty() ? dest->name : stampOnDestination;
            g_log << "prepare:" + segue->identifier() + ":" +
                         (dest->isViewLoaded() ? "loaded" : "unloaded");
        }
    }
};

// A subclass: segues registered under the base class reach it too.
class DerivedScreen : public StoryScreen {
    Q_OBJECT
};

// A container whose two children arrive by embed segues.
class Container : public StoryScreen {
    Q_OBJECT
public:
    ViewController* left = nullptr;
    ViewController* right = nullptr;
    bool childrenBeforeLoad = false;

protected:
    void loadView() override {
        auto* v = new View(QRectF(0, 0, 320, 568));
        auto* box = new View(QRectF(10, 20, 100, 200), v);
        box->setTag(55);
        setView(v);
    }

public:
    void viewDidLoad() override { childrenBeforeLoad = left && right; }
    void prepareForSegue(StoryboardSegue* segue, QObject*) override {
        if (segue->identifier() == "LeftEmbed") left = segue->destinationViewController();
        if (segue->identifier() == "RightEmbed") right = segue->destinationViewController();
    }
};

const bool g_registered = [] {
    Storyboard::registerScene("Test", "Story", [] { return new StoryScreen; });
    Storyboard::registerScene("Test", "Derived", [] { return new DerivedScreen; });
    Storyboard::registerScene("Test", "Container", [] { return new Container; });
    Storyboard::registerScene("Test", "Nothing", [] { return nullptr; });
    Storyboard::setInitialScene("Flowish", "Start");
    Storyboard::registerScene("Flowish", "Start", [] { return new StoryScreen; });
    Storyboard::registerSegue("StoryScreen",
                              {"ToNext", StoryboardSegue::Kind::Push, "Test", "Story"});
    Storyboard::registerSegue("Story", {"ToModal", StoryboardSegue::Kind::Modal, "Test", "Story"});
    Storyboard::registerSegue("Story", {"ToMissing", StoryboardSegue::Kind::Push, "Test", "Gone"});
    Storyboard::registerSegue("Container",
                              {"LeftEmbed", StoryboardSegue::Kind::Embed, "Test", "Story", 55});
    Storyboard::registerSegue("Container",
                              {"RightEmbed", StoryboardSegue::Kind::Embed, "Test", "Story", 0});
    return true;
}();

TAVRIX_REGISTER_SCENE("Macro", "ByMacro", StoryScreen);

TEST(Storyboard, ScenesAreNewEachTimeAndUnknownNamesGiveNothing) {
    ASSERT_TRUE(g_registered);
    const QList<std::pair<QString, QString>> unknown = {
        {"Nope", "Story"}, {"Test", "Nope"},    {"", ""},          {"Test", ""},
        {"", "Story"},     {"Test", "Nothing"}, {"test", "story"},
    };
    for (const auto& [storyboard, id] : unknown) {
        SCOPED_TRACE((storyboard + "/" + id).toStdString());
        EXPECT_EQ(Storyboard::instantiateViewController(storyboard, id), nullptr);
    }
    EXPECT_EQ(Storyboard::instantiateInitialViewController("Test"), nullptr);
    std::unique_ptr<ViewController> a(Storyboard::instantiateViewController("Test", "Story"));
    std::unique_ptr<ViewController> b(Storyboard::instantiateViewController("Test", "Story"));
    ASSERT_TRUE(a && b);
    EXPECT_NE(a.get(), b.get());
    EXPECT_EQ(a->storyboardName() + "/" + a->storyboardIdentifier(), "Test/Story");
    std::unique_ptr<ViewController> start(Storyboard::instantiateInitialViewController("Flowish"));
    ASSERT_TRUE(start);
    EXPECT_EQ(start->storyboardIdentifier(), "Start");
    EXPECT_TRUE(
        std::unique_ptr<ViewController>(Storyboard::instantiateViewController("Macro", "ByMacro")));
}

TEST(Storyboard, PushSeguePreparesThenPushes) {
    g_log.clear();
    auto* source =
        qobject_cast<StoryScreen*>(Storyboard::instantiateViewController("Test", "Derived"));
    source->name = "src";
    source->stampOnDestination = "dst";
    auto nav = shownNav(source);
    g_log.clear();
    QObject sender;
    source->performSegueWithIdentifier("ToNext", &sender); // found under the base class name
    EXPECT_EQ(source->seenSegue, "ToNext");
    EXPECT_EQ(source->seenSender, &sender);
    EXPECT_EQ(nav->topViewController(), source->seenDestination);
    // Prepared before its view loads, so what prepare sets is there for viewDidLoad.
    EXPECT_EQ(g_log.mid(0, 3),
              QStringList({"prepare:ToNext:unloaded", "dst:load", "src:willDisappear"}));
}

TEST(Storyboard, UnknownOrBrokenSeguesDoNothing) {
    auto* source =
        qobject_cast<StoryScreen*>(Storyboard::instantiateViewController("Test", "Story"));
    auto nav = shownNav(source);
    source->performSegueWithIdentifier("NoSuchSegue", nullptr);
    source->performSegueWithIdentifier("ToMissing", nullptr);
    EXPECT_EQ(nav->viewControllers().size(), 1);
    EXPECT_TRUE(source->seenSegue.isEmpty());
    EXPECT_EQ(source->presentedViewController(), nullptr);
}

TEST(Storyboard, EmbedSeguesFillTheirContainersBeforeViewDidLoad) {
    std::unique_ptr<ViewController> vc(Storyboard::instantiateViewController("Test", "Container"));
    auto* c = qobject_cast<Container*>(vc.get());
    ASSERT_NE(c, nullptr);
    c->view();
    EXPECT_TRUE(c->childrenBeforeLoad);
    ASSERT_TRUE(c->left && c->right);
    EXPECT_EQ(c->childViewControllers(), QList<ViewController*>({c->left, c->right}));
    EXPECT_EQ(c->left->parentViewController(), c);
    EXPECT_EQ(c->left->view()->superview(), c->view()->viewWithTag(55));
    EXPECT_EQ(c->left->view()->frame(), QRectF(0, 0, 100, 200));
    EXPECT_EQ(c->right->view()->superview(), c->view());
    // Views know their screens.
    EXPECT_EQ(ViewController::viewControllerForView(c->view()), c);
    EXPECT_EQ(ViewController::viewControllerForView(c->view()->viewWithTag(55)), nullptr);
    EXPECT_EQ(ViewController::enclosingViewController(c->view()->viewWithTag(55)), c);
    EXPECT_EQ(ViewController::enclosingViewController(c->left->view()), c->left);
    // The children follow the container's appearance.
    g_log.clear();
    c->beginAppearanceTransition(true, false);
    c->endAppearanceTransition();
    EXPECT_EQ(g_log.filter("Appear").size(), 6); // the container and both children, twice each
}

TEST(Presentation, ModalScreenCoversItsContextAndGoesAwayOnDismiss) {
    g_log.clear();
    auto* root = new StoryScreen;
    root->name = "root";
    auto nav = shownNav(root);
    auto* modal = new StoryScreen;
    modal->name = "modal";
    g_log.clear();
    int presented = 0;
    root->presentViewController(modal, true, [&] { ++presented; });
    EXPECT_EQ(presented, 1);
    // The presentation is made by the outermost container.
    EXPECT_EQ(modal->presentingViewController(), nav.get());
    EXPECT_EQ(root->presentedViewController(), modal);
    EXPECT_EQ(nav->visibleViewController(), modal);
    EXPECT_EQ(g_log, QStringList({"modal:load", "root:willDisappear", "modal:willAppear",
                                  "root:didDisappear", "modal:didAppear"}));

    // A second presentation from the same context is refused and its screen released.
    QPointer<StoryScreen> second = new StoryScreen;
    root->presentViewController(second, false);
    EXPECT_EQ(root->presentedViewController(), modal);
    flush();
    EXPECT_FALSE(second);

    QPointer<StoryScreen> gone = modal;
    g_log.clear();
    int dismissed = 0;
    modal->dismissViewControllerAnimated(true, [&] { ++dismissed; }); // the presented one asks
    EXPECT_EQ(dismissed, 1);
    EXPECT_EQ(g_log, QStringList({"modal:willDisappear", "root:willAppear", "modal:didDisappear",
                                  "root:didAppear"}));
    EXPECT_EQ(root->presentedViewController(), nullptr);
    flush();
    EXPECT_FALSE(gone);

    // Nothing left to dismiss: the completion still runs.
    root->dismissViewControllerAnimated(false, [&] { ++dismissed; });
    EXPECT_EQ(dismissed, 2);
}

TEST(Presentation, ModalSegueAndNestedPresentations) {
    auto* root = qobject_cast<StoryScreen*>(Storyboard::instantiateViewController("Test", "Story"));
    auto nav = shownNav(root);
    root->performSegueWithIdentifier("ToModal", nullptr);
    auto* first = qobject_cast<StoryScreen*>(root->presentedViewController());
    ASSERT_NE(first, nullptr);
    auto* second = new StoryScreen;
    first->presentViewController(second, false);
    EXPECT_EQ(first->presentedViewController(), second);
    QPointer<StoryScreen> f(first), s(second);
    // Dismissing the lower presentation takes everything above it away too.
    nav->dismissViewControllerAnimated(false);
    EXPECT_EQ(nav->presentedViewController(), nullptr);
    EXPECT_EQ(root->appearance(), ViewController::Appearance::Appeared);
    flush();
    EXPECT_FALSE(f);
    EXPECT_FALSE(s);
}

TEST(Presentation, DismissingWhileStillSlidingInKeepsTheCallsPaired) {
    ns::ScopedManualClock clock;
    Window window;
    auto* root = new StoryScreen;
    root->name = "root";
    window.setRootViewController(root);
    window.makeKeyAndVisible();
    Animation::setEnabled(true);
    auto* modal = new StoryScreen;
    modal->name = "modal";
    g_log.clear();
    root->presentViewController(modal, true);
    EXPECT_FALSE(g_log.contains("modal:didAppear"));
    int dismissed = 0;
    root->dismissViewControllerAnimated(true, [&] { ++dismissed; });
    clock.clock.advance(1000);
    Animation::setEnabled(false);
    EXPECT_EQ(g_log, QStringList({"modal:load", "root:willDisappear", "modal:willAppear",
                                  "root:didDisappear", "modal:didAppear", "modal:willDisappear",
                                  "root:willAppear", "modal:didDisappear", "root:didAppear"}));
    EXPECT_EQ(dismissed, 1);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    flush();
}

TEST(Containment, ChildrenMoveBetweenParentsAndCyclesAreRefused) {
    StoryScreen a, b;
    auto* child = new StoryScreen;
    a.addChildViewController(child);
    EXPECT_EQ(child->parentViewController(), &a);
    b.addChildViewController(child);
    EXPECT_EQ(child->parentViewController(), &b);
    EXPECT_TRUE(a.childViewControllers().isEmpty());
    child->addChildViewController(&b); // b is child's parent: refused
    EXPECT_EQ(b.parentViewController(), nullptr);
    QPointer<StoryScreen> c(child);
    child->removeFromParentViewController();
    EXPECT_TRUE(b.childViewControllers().isEmpty());
    flush();
    EXPECT_FALSE(c);
}

} // namespace

#include "ui_controllers_storyboard_test.moc"
