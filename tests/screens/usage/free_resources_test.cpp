#include "FlowHarness.h"

#include "platform/ui/Button.h"
#include "screens/usage/OtherFlowCell.h"
#include "screens/usage/OtherFlowController.h"

namespace flow_test {
namespace {

class FreeResourcesTest : public FlowHarness {
protected:
    OtherFlowController* openOther() {
        return open<OtherFlowController>("Flow", "OtherFlowController");
    }
    static OtherFlowCell* rowOf(OtherFlowController* screen, int row) {
        return qobject_cast<OtherFlowCell*>(
            screen->tableViewOfFlow()->cellForRowAtIndexPath(ui::IndexPath::forRow(row, 0)));
    }
};

TEST_F(FreeResourcesTest, ListsTheLinesResourcesWithWhatIsLeft) {
    OtherFlowController* screen = openOther();
    ASSERT_TRUE(waitUntil([&] { return screen->respArrayOfWhereUsed().size() == 2; }));
    EXPECT_EQ(fieldsOf("FreeResourceForOtherList"), QList<Fields>{Fields{}});
    EXPECT_FALSE(screen->nilLabel());
    OtherFlowCell* first = rowOf(screen, 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->labelOfName()->text().trimmed(), "校园WLAN免费流量");
    EXPECT_FLOAT_EQ(first->mySlider()->value(), 0.75f);
    EXPECT_EQ(first->labelOfAmount()->text(), "可用流量768.00MB/总共流量1.00GB");
    const ui::AttributedString amount = first->labelOfAmount()->attributedText();
    EXPECT_EQ(amount.attributesAtIndex(4).foregroundColor, QColor(45, 152, 88));
    EXPECT_NE(amount.attributesAtIndex(10).foregroundColor, QColor(45, 152, 88));
}

TEST_F(FreeResourcesTest, AnEmptyListShowsTheEmptyLabel) {
    signIn("13800000004");
    OtherFlowController* screen = openOther();
    ASSERT_TRUE(waitUntil([&] { return screen->nilLabel() != nullptr; }));
    EXPECT_EQ(screen->nilLabel()->superview(), screen->tableViewOfFlow());
    EXPECT_EQ(screen->tableViewOfFlow()->numberOfRowsInSection(0), 0);
}

TEST_F(FreeResourcesTest, FailuresKeepTheListAndShowTheEmptyLabel) {
    const struct {
        const char* why;
        sandbox::Fault fault;
        QString message;
    } cases[] = {
        {"error code", sandbox::Fault::result(3, "暂停服务"), "暂停服务"},
        {"HTML page", sandbox::Fault::html500(), "请求超时"},
        {"array", sandbox::Fault::jsonArray(), "请求超时"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        sandbox.setFault("FreeResourceForOtherList", c.fault);
        OtherFlowController* screen = openOther();
        ASSERT_TRUE(waitUntil([&] { return alertCount() > 0; }));
        EXPECT_EQ(alertMessage(), c.message);
        EXPECT_TRUE(screen->nilLabel());
        closeWindow();
    }
}

TEST_F(FreeResourcesTest, AListThatIsNotAListIsAFailedQuery) {
    script("FreeResourceForOtherList", R"({"result":0,"list":{"productName":"x"}})");
    OtherFlowController* screen = openOther();
    ASSERT_TRUE(waitUntil([&] { return alertCount() > 0; }));
    EXPECT_EQ(alertMessage(), "查询失败");
    EXPECT_TRUE(screen->respArrayOfWhereUsed().isEmpty());
    EXPECT_TRUE(screen->nilLabel());
}

TEST(FreeResourceRow, ABarNeverLeavesItsTrack) {
    const struct {
        const char* why;
        QVariantMap record;
        float share;
        QString left, total;
    } cases[] = {
        {"a quarter used", {{"amount", 262144}, {"total", 1048576}}, 0.75f, "768.00MB", "1.00GB"},
        {"all used", {{"amount", "2048"}, {"total", "2048"}}, 0.0f, "0.00KB", "2.00MB"},
        {"nothing given", {{"amount", 0}, {"total", 0}}, 0.0f, "0.00KB", "0.00KB"},
        {"overused", {{"amount", 3072}, {"total", 2048}}, 0.0f, "-1024.00KB", "2.00MB"},
        {"negative use", {{"amount", -1024}, {"total", 2048}}, 1.0f, "3.00MB", "2.00MB"},
        {"no figures", {}, 0.0f, "0.00KB", "0.00KB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        OtherFlowCell cell;
        cell.setCellData(c.record);
        EXPECT_FLOAT_EQ(cell.mySlider()->value(), c.share);
        EXPECT_EQ(cell.labelOfAmount()->text(), "可用流量" + c.left + "/总共流量" + c.total);
        EXPECT_GE(cell.mySlider()->thumbCentreX(), 0);
        EXPECT_LE(cell.mySlider()->thumbCentreX(), cell.mySlider()->width());
    }
}

TEST_F(FreeResourcesTest, TheButtonLeadsToThePlanChange) {
    OtherFlowController* screen = openOther();
    ASSERT_TRUE(waitUntil([&] { return !screen->respArrayOfWhereUsed().isEmpty(); }));
    click(screen->buttonOfOrder());
    ASSERT_TRUE(waitUntil([&] { return topScene() == "FlowSuitChangeController"; }));
    EXPECT_EQ(top()->property("dataType").toLongLong(), 1);
}

} // namespace
} // namespace flow_test
