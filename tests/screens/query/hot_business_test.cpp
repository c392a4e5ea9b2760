#include "QueryHarness.h"

#include "platform/ui/TableViewCell.h"
#include "screens/query/HotBusinessViewController.h"
#include "screens/services/MorePackageTableViewCell.h"
#include "tests/support/ScriptedServer.h"

namespace {

using namespace query_test;

class HotBusinessTest : public ScreenHarness {
protected:
    HotBusinessViewController* showList() {
        auto* screen = show<HotBusinessViewController>("HotBusinessViewController");
        EXPECT_NE(screen, nullptr);
        return screen;
    }
    // Waits for the answer: the table shows, or the empty-list label does.
    bool answered(HotBusinessViewController* screen) {
        const bool done = waitUntil([&] {
            return !screen->tableViewOfBusiness()->isHidden() || screen->nilLabel() != nullptr;
        });
        clock.clock.advance(2000); // the loading overlay's fade-out
        settle();
        return done;
    }
    static QStringList names(HotBusinessViewController* screen) {
        QStringList out;
        for (const QVariant& offer : screen->arrayOfList())
            out << offer.toMap().value("marketname").toString();
        return out;
    }
    void tapRow(HotBusinessViewController* screen, int row) {
        ui::TableView* table = screen->tableViewOfBusiness();
        table->scrollToRowAtIndexPath({0, row});
        table->layoutSubviews();
        ui::TableViewCell* cell = table->cellForRowAtIndexPath({0, row});
        ASSERT_NE(cell, nullptr) << row;
        click(cell);
        settle();
    }
};

TEST_F(HotBusinessTest, RecommendedOffersComeFirstThenThePopularOnes) {
    HotBusinessViewController* screen = showList();
    ASSERT_TRUE(answered(screen));
    ASSERT_EQ(sandbox.requests().size(), 1);
    const auto& request = sandbox.requests().first();
    EXPECT_EQ(request.interfaceName, "Search");
    EXPECT_EQ(fieldKeys(request), (QStringList{"session", "num", "channel"}));
    EXPECT_EQ(request.fields.value("channel"), "2");

    EXPECT_EQ(names(screen), (QStringList{"天气预报", "手机阅读", "流量可选包", "4G飞享套餐",
                                          "彩铃业务", "家庭网"}));
    EXPECT_FALSE(screen->tableViewOfBusiness()->isHidden());
    EXPECT_EQ(screen->nilLabel(), nullptr);
    EXPECT_EQ(screen->tableViewOfBusiness()->numberOfRowsInSection(0), 6);
    auto* cell = qobject_cast<MorePackageTableViewCell*>(
        screen->tableViewOfBusiness()->cellForRowAtIndexPath({0, 0}));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->nameLabel()->text(), "天气预报");
    EXPECT_GE(cell->frame().height(), MorePackageTableViewCell::kMinimumHeight);
    // The short description in the light grey of the other secondary texts (two thirds white).
    const ui::TextAttributes desc = cell->descLabel()->attributedText().attributesAtIndex(0);
    EXPECT_EQ(desc.foregroundColor, QColor(170, 170, 170));
    ASSERT_TRUE(desc.font);
    EXPECT_EQ(desc.font->pointSizeF() > 0 ? desc.font->pointSizeF() : desc.font->pixelSize(), 12);
}

TEST_F(HotBusinessTest, ATappedOfferOpensItsOrderingPageOrTheFamilyNetwork) {
    HotBusinessViewController* screen = showList();
    ASSERT_TRUE(answered(screen));
    const QString prefix = sandbox.baseAddress();
    const QString who =
        "?num=13800000001&session=" +
        QUrl::toPercentEncoding(PublicFunction::getConfigWithKey("session").toString());
    const struct {
        int row;
        const char* title;
        QString address; // empty: the family network screen, no page
    } cases[] = {
        {0, "天气预报", prefix + "ulvek/handle.html" + who + "&marketid=2010020140312004&type=3"},
        {2, "流量可选包",
         prefix + "ulvek/optional.html" + who + "&marketid=8010020140611005&type=2"},
        {3, "4G飞享套餐", prefix + "ulvek/handle.html" + who + "&marketid=8010020140611001&type=1"},
        {5, "家庭网", QString()},
    };
    for (const auto& c : cases) {
        tapRow(screen, c.row);
        if (c.address.isEmpty()) {
            ASSERT_NE(top(), screen) << c.title;
            EXPECT_EQ(top()->storyboardIdentifier(), "FNRootViewController");
            EXPECT_EQ(topWebPage(), nullptr);
        } else {
            WebViewController* page = topWebPage();
            ASSERT_NE(page, nullptr) << c.title;
            EXPECT_EQ(page->strOfTitle(), QString::fromUtf8(c.title));
            EXPECT_EQ(page->requestURL(), c.address);
            EXPECT_TRUE(page->hidesBottomBarWhenPushed());
        }
        nav->popToRootViewControllerAnimated(false);
        settle();
        // Coming back clears the selection.
        EXPECT_FALSE(screen->tableViewOfBusiness()->indexPathForSelectedRow().has_value());
    }
}

TEST_F(HotBusinessTest, ListsNotArraysAndEntriesNotObjectsAreLeftOut) {
    ScriptedServer scripted;
    tavrixConfig::setServerBaseAddress(scripted.baseAddress());
    const struct {
        const char* reply;
        int rows;
        bool emptyLabel;
    } cases[] = {
        {R"({"result":0,"likelist":[{"marketname":"A"}],"hotlist":[{"marketname":"B"},{"marketname":"C"}]})",
         3, false},
        {R"({"result":0,"likelist":{"marketname":"A"},"hotlist":[{"marketname":"B"}]})", 1, false},
        {R"({"result":0,"likelist":"A","hotlist":7})", 0, true},
        {R"({"result":0,"likelist":[1,"x",null,[],{"marketname":"A"}],"hotlist":[true]})", 1,
         false},
        {R"({"result":0})", 0, true},
        {R"({"result":0,"likelist":[],"hotlist":[]})", 0, true},
        {R"({"likelist":[{"marketname":"A"}]})", 1, false},
    };
    for (const auto& c : cases) {
        scripted.enqueue(ScriptedServer::json(c.reply));
        HotBusinessViewController* screen = showList();
        ASSERT_TRUE(answered(screen)) << c.reply;
        EXPECT_EQ(screen->tableViewOfBusiness()->numberOfRowsInSection(0), c.rows) << c.reply;
        EXPECT_FALSE(screen->tableViewOfBusiness()->isHidden()) << c.reply;
        EXPECT_EQ(screen->nilLabel() != nullptr, c.emptyLabel) << c.reply;
        if (c.emptyLabel) {
            EXPECT_EQ(screen->nilLabel()->text(), "对不起，暂时没查询到相关数据");
            EXPECT_EQ(screen->nilLabel()->superview(), screen->view());
        }
        EXPECT_EQ(ui::AlertCenter::topAlert(), nullptr) << c.reply;
    }
}

// An error answer is said first; the list then says it is empty, and stays hidden.
TEST_F(HotBusinessTest, AnErrorAnswerAlertsAndThenShowsTheEmptyListLabel) {
    ScriptedServer scripted;
    tavrixConfig::setServerBaseAddress(scripted.baseAddress());
    const struct {
        const char* what;
        ScriptedServer::Action answer;
        QString alert;
    } cases[] = {
        {"refused", ScriptedServer::json(R"({"result":5,"msg":"系统维护中"})"), "系统维护中"},
        {"not JSON", ScriptedServer::html("<html>busy</html>"), "请求超时"},
        {"an array", ScriptedServer::json("[]"), "请求超时"},
        {"dropped", ScriptedServer::drop(), "网络连接失败,请检查您的网络设置"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        scripted.setFallback(c.answer);
        HotBusinessViewController* screen = showList();
        ASSERT_TRUE(answered(screen));
        ASSERT_NE(ui::AlertCenter::topAlert(), nullptr);
        EXPECT_EQ(ui::AlertCenter::topAlert()->message(), c.alert);
        ASSERT_NE(screen->nilLabel(), nullptr);
        EXPECT_EQ(screen->nilLabel()->text(), "对不起，暂时没查询到相关数据");
        EXPECT_EQ(screen->nilLabel()->superview(), screen->view());
        EXPECT_TRUE(screen->tableViewOfBusiness()->isHidden());
        EXPECT_EQ(screen->tableViewOfBusiness()->numberOfRowsInSection(0), 0);
        ui::AlertCenter::dismissAll();
    }
}

} // namespace
