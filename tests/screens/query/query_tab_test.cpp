#include "QueryHarness.h"

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "screens/query/OperatorPages.h"
#include "screens/query/QueryViewController.h"

namespace {

using namespace query_test;

QStringList starNames(const QueryViewController* screen) {
    QStringList out;
    for (ui::ImageView* star : screen->starImageViews())
        out << star->objectName();
    return out;
}

TEST(PageAddress, ValuesArePercentEncodedInTheirPlaces) {
    tavrixConfig::setServerBaseAddress("http://127.0.0.1:8080/pelvo/");
    const struct {
        const char* path;
        QStringList values;
        const char* expected;
    } cases[] = {
        {"a.html?num=%@&session=%@",
         {"13800000001", "S1"},
         "http://127.0.0.1:8080/pelvo/a.html?num=13800000001&session=S1"},
        {"a.html?num=%@&session=%@&type=3",
         {"138", "a+b/c=d&e f"},
         "http://127.0.0.1:8080/pelvo/a.html?num=138&session=a%2Bb%2Fc%3Dd%26e%20f&type=3"},
        {"a.html?num=%@&session=%@",
         {"138"},
         "http://127.0.0.1:8080/pelvo/a.html?num=138&session="},
        {"a.html?q=%@", {"中文%"}, "http://127.0.0.1:8080/pelvo/a.html?q=%E4%B8%AD%E6%96%87%25"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OperatorPages::pageAddress(c.path, c.values), c.expected) << c.path;
}

class QueryTabTest : public ScreenHarness {
protected:
    QueryViewController* showQuery() {
        auto* screen = show<QueryViewController>("QueryViewController");
        EXPECT_NE(screen, nullptr);
        return screen;
    }
    void appearAgain(ui::ViewController* screen) {
        screen->beginAppearanceTransition(false, false);
        screen->endAppearanceTransition();
        screen->beginAppearanceTransition(true, false);
        screen->endAppearanceTransition();
    }
    void setStarLevel(const QString& level) {
        sandbox.server().backend().database().exec(
            "UPDATE subscribers SET star_level = ? WHERE number = ?",
            {level, SandboxFixture::demoNumber()});
    }
};

TEST_F(QueryTabTest, ShowsTheNumberThePackageAndTheStarsOfEachLevel) {
    const struct {
        const char* level; // nullptr: the demo subscriber's own
        QStringList names;
    } cases[] = {
        {nullptr, QStringList(5, "goldCard")},
        {"1", QStringList(5, "starCard")},
        {"3", QStringList(5, "diamondCard")},
        {"13", {"starCard", "starCard", "starCard", "expectantStar", "expectantStar"}},
        {"10", QStringList(5, "expectantStar")},
        {"-10", {}},
        {"7", QStringList(5, "expectantStar")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level ? c.level : "own");
        if (c.level) setStarLevel(c.level);
        sandbox.clearRequests();
        QueryViewController* screen = showQuery();
        EXPECT_EQ(screen->phoneNO()->text(), "13800000001");
        ASSERT_TRUE(waitUntil([&] {
            return !screen->isRequestOfStarLevelFailed() && sandbox.requests().size() == 2 &&
                   !screen->packageName()->text().isEmpty();
        }));
        ASSERT_TRUE(waitUntil([&] { return starNames(screen) == c.names; }, 2000));
        EXPECT_EQ(screen->packageName()->text(), "4G飞享套餐58元");
        EXPECT_EQ(sortedRequestNames(), (QStringList{"PersonalInfo", "StarLevel"}));
        for (const auto& r : sandbox.requests())
            EXPECT_EQ(fieldKeys(r), (QStringList{"session", "num"}));
        EXPECT_EQ(shownAlert(), "");
    }
}

TEST_F(QueryTabTest, AStarLevelOnItsWayIsNotAskedAgainAndTheRowIsDrawnOnce) {
    sandbox.setFault("StarLevel", sandbox::Fault::delay(3000));
    QueryViewController* screen = showQuery();
    ASSERT_TRUE(sandbox.waitForRequests(2));
    // The first answer is still on its way: appearing again must not ask twice.
    screen->requestOfStarLevelSend();
    appearAgain(screen);
    clock.clock.advance(3000);
    ASSERT_TRUE(waitUntil([&] { return screen->starImageViews().size() == 5; }));
    EXPECT_EQ(sandbox.requestsTo("StarLevel").size(), 1);

    // A second answer replaces the row instead of stacking another on it.
    sandbox.clearFaults();
    setStarLevel("3");
    screen->requestOfStarLevelSend();
    ASSERT_TRUE(waitUntil([&] { return starNames(screen).value(0) == "diamondCard"; }));
    EXPECT_EQ(screen->starImageViews().size(), 5);
    EXPECT_EQ(screen->starLevel()->subviews().size(), 5);
}

TEST_F(QueryTabTest, FailuresAreAskedAgainOnAppearingUntilTheyAnswer) {
    // Nobody listening: a transport failure is silent and marks the retry.
    tavrixConfig::setServerBaseAddress("http://127.0.0.1:1/pelvo/");
    QueryViewController* screen = showQuery();
    ASSERT_TRUE(waitUntil([&] {
        return screen->isRequestOfStarLevelFailed() && screen->isRequestOfPackageNameFailed();
    }));
    EXPECT_EQ(ui::AlertCenter::topAlert(), nullptr);

    // Error replies alert with the server's text and keep the retry.
    tavrixConfig::setServerBaseAddress(sandbox.baseAddress());
    sandbox.setFault("StarLevel", sandbox::Fault::result(5, "星级查询失败"));
    sandbox.setFault("PersonalInfo", sandbox::Fault::result(6, "套餐查询失败"));
    appearAgain(screen);
    ASSERT_TRUE(waitUntil([&] { return ui::AlertCenter::visibleAlerts().size() == 2; }));
    QStringList messages;
    for (ui::AlertView* alert : ui::AlertCenter::visibleAlerts()) {
        EXPECT_TRUE(alert->title().isEmpty());
        messages << alert->message();
    }
    messages.sort(); // the two answers race
    EXPECT_EQ(messages, (QStringList{"套餐查询失败", "星级查询失败"}));
    EXPECT_TRUE(screen->isRequestOfStarLevelFailed() && screen->isRequestOfPackageNameFailed());
    ui::AlertCenter::dismissAll();

    sandbox.clearFaults();
    sandbox.clearRequests();
    appearAgain(screen);
    ASSERT_TRUE(waitUntil([&] {
        return !screen->isRequestOfStarLevelFailed() && !screen->isRequestOfPackageNameFailed();
    }));
    EXPECT_EQ(sortedRequestNames(), (QStringList{"PersonalInfo", "StarLevel"}));
    ASSERT_TRUE(waitUntil([&] { return screen->starImageViews().size() == 5; }));
    appearAgain(screen); // both answered: nothing more to ask
    QCoreApplication::processEvents();
    EXPECT_EQ(sandbox.requests().size(), 2);
}

TEST_F(QueryTabTest, AnExpiredSessionAlertsOnceAndLeadsToTheLogIn) {
    sandbox.setFault("*", sandbox::Fault::result(9999, "登录已超时"));
    QueryViewController* screen = showQuery();
    ASSERT_TRUE(waitUntil([&] {
        return screen->isRequestOfStarLevelFailed() && screen->isRequestOfPackageNameFailed();
    }));
    ASSERT_EQ(ui::AlertCenter::visibleAlerts().size(), 1);
    EXPECT_EQ(topAlertMessage(), "登录已超时");
    ui::AlertCenter::press("确定");
    EXPECT_EQ(posted, QStringList{"PushToLoginVeiw"});
}

} // namespace
