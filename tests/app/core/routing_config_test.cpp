#include <QSet>
#include <gtest/gtest.h>
#include <memory>

#include "app/core/AppDelegate.h"
#include "app/core/tavrixConfig.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "screens/shell/TabBarViewController.h"

namespace {

TEST(StoryboardRoute, NamesAScreenOnlyWhenBothPartsExist) {
    struct Case {
        const char* route;
        const char* expectedClass; // nullptr: no screen
    };
    const Case cases[] = {
        {"Main&FNRootViewController", "FNRootViewController"},
        {"SecureNum&SecurenumGuideViewController", "SecurenumGuideViewController"},
        {"Main&FNRootViewController&more", "FNRootViewController"},
        {"MainFNRootViewController", nullptr},
        {"Main&", nullptr},
        {"&FNRootViewController", nullptr},
        {"Nowhere&FNRootViewController", nullptr},
        {"Main&NoSuchScene", nullptr},
        {"SecureNum&FNRootViewController", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        std::unique_ptr<ui::ViewController> vc(tavrixConfig::getViewControllerWithString(c.route));
        if (!c.expectedClass) {
            EXPECT_EQ(vc, nullptr) << c.route;
            continue;
        }
        ASSERT_NE(vc, nullptr) << c.route;
        EXPECT_STREQ(vc->metaObject()->className(), c.expectedClass) << c.route;
    }
}

TEST(OutsideRoute, RefusesTheStartUpAndShellScenesOnly) {
    // Written out here, not read from the list under test: a scene dropped from (or added to)
    // that list must fail this test.
    const QSet<QString> refused{"DefaultVC",
                                "GuideViewController",
                                "LoginViewController",
                                "NavbarViewController",
                                "SkatingRinkViewController",
                                "SideSlipViewController",
                                "TabBarViewController"};
    for (const QString& scene : refused)
        EXPECT_TRUE(ui::Storyboard::hasScene("Main", scene)) << scene.toStdString();
    // Every scene of the client: the refused ones give no screen, every other one opens.
    for (const auto& [storyboard, identifier] : ui::Storyboard::scenes()) {
        SCOPED_TRACE((storyboard + "&" + identifier).toStdString());
        std::unique_ptr<ui::ViewController> vc(
            tavrixConfig::getViewControllerForOutsideRoute(storyboard + "&" + identifier));
        EXPECT_EQ(vc == nullptr, refused.contains(identifier));
    }
}

TEST(TabLookup, FindsTheTabWhoseFirstScreenIsOfTheClass) {
    TabBarViewController tabs;
    struct Case {
        const char* className;
        bool embedded;
        int index;
    };
    const Case cases[] = {
        {"RootViewController", true, 0},
        {"QueryViewController", true, 1},
        {"ManageViewController", true, 2},
        {"DiscountViewController", true, 3},
        // A base class matches the first tab that derives from it.
        {"ViewController", true, 0},
        {"FNRootViewController", false, 0},
        {"queryviewcontroller", false, 0},
        {"", false, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tavrixConfig::isViewController(c.className, &tabs), c.embedded) << c.className;
        EXPECT_EQ(tavrixConfig::indexOfViewController(c.className, &tabs), c.index) << c.className;
    }
    EXPECT_FALSE(tavrixConfig::isViewController("RootViewController", nullptr));
    EXPECT_EQ(tavrixConfig::indexOfViewController("QueryViewController", nullptr), 0);
}

TEST(TabLookup, OnlyTheBottomOfEachStackCounts) {
    TabBarViewController tabs;
    auto* query = qobject_cast<ui::NavigationController*>(tabs.viewControllers().at(1));
    ASSERT_NE(query, nullptr);
    query->pushViewController(
        tavrixConfig::getViewControllerWithString("Main&FNRootViewController"), false);
    EXPECT_FALSE(tavrixConfig::isViewController("FNRootViewController", &tabs));
}

TEST(SchemeRouteText, KeepsCaseAndTheAmpersandOfTheHost) {
    struct Case {
        const char* url;
        const char* scheme;
        const char* host;
    };
    const Case cases[] = {
        {"kelvamor://QueryViewController", "kelvamor", "QueryViewController"},
        {"kelvamor://Main&WebViewController", "kelvamor", "Main&WebViewController"},
        {"kelvamor://Main&WebViewController/path?x=1#f", "kelvamor", "Main&WebViewController"},
        {"kelvamor://Main%26FNRootViewController", "kelvamor", "Main&FNRootViewController"},
        {"kelvamor://user@RootViewController:80", "kelvamor", "RootViewController"},
        {"KELVAMOR://RootViewController", "KELVAMOR", "RootViewController"},
        {"kelvamor:RootViewController", "kelvamor", ""},
        {"no scheme here", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AppDelegate::schemeOf(c.url), c.scheme) << c.url;
        EXPECT_EQ(AppDelegate::hostOf(c.url), c.host) << c.url;
    }
}

} // namespace
