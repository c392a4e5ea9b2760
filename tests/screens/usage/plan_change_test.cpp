#include "FlowHarness.h"
#include "tests/support/DrawnText.h"

#include "platform/ui/Image.h"
#include "screens/usage/FlowSegmentedControl.h"
#include "screens/usage/FlowSuitCell.h"
#include "screens/usage/FlowSuitChangeController.h"
#include "screens/usage/OrderAlertVC.h"
#include "widgets/ModalDialogBox.h"
#include "widgets/ModalDialogView.h"
#include "widgets/OverlayHUD.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace flow_test {
namespace {

class PlanChangeTest : public FlowHarness {
protected:
    FlowSuitChangeController* openChange(const QVariant& dataType = QVariant()) {
        auto* screen = qobject_cast<FlowSuitChangeController*>(
            ui::Storyboard::instantiateViewController("Flow", "FlowSuitChangeController"));
        EXPECT_TRUE(screen);
        if (dataType.isValid()) screen->setProperty("dataType", dataType);
        show(screen);
        return screen;
    }
    FlowSuitChangeController* openLaidOut(const QVariant& dataType = QVariant()) {
        FlowSuitChangeController* screen = openChange(dataType);
        EXPECT_TRUE(waitUntil([&] { return screen->tableViewOfSuit() != nullptr; }));
        return screen;
    }
    static int rows(ui::TableView* table) { return table ? table->numberOfRowsInSection(0) : -1; }
    static FlowSuitCell* rowOf(ui::TableView* table, int row) {
        return qobject_cast<FlowSuitCell*>(
            table->cellForRowAtIndexPath(ui::IndexPath::forRow(row, 0)));
    }
    // The row of a product by its name.
    static FlowSuitCell* rowNamed(ui::TableView* table, const QString& name) {
        for (int r = 0; r < rows(table); ++r) {
            FlowSuitCell* cell = rowOf(table, r);
            if (cell &&
                PublicFunction::getFlowProductName(cell->cellData(), cell->isRecommend()) == name)
                return cell;
        }
        return nullptr;
    }
    // A click on one segment of the network switch.
    void clickSegment(FlowSuitChangeController* screen, int index) {
        FlowSegmentedControl* seg = screen->segment();
        click(seg, QPointF(seg->width() / 4.0 * (2 * index + 1), seg->height() / 2.0));
    }
};

TEST_F(PlanChangeTest, TheChainLoadsThenLaysOutThePlans) {
    FlowSuitChangeController* screen = openLaidOut();
    EXPECT_EQ(interfaceOrder().mid(0, 4),
              (QStringList{"Balance", "FlowProduct", "FlowProduct", "FlowRecommend"}));
    EXPECT_EQ(fieldsOf("FlowProduct"), (QList<Fields>{{{"position", "2"}}, {{"position", "0"}}}));
    EXPECT_EQ(fieldsOf("FlowRecommend"), (QList<Fields>{{{"type", "1"}}}));
    EXPECT_EQ(screen->dataType(), 1);
    EXPECT_TRUE(screen->suitBtn()->isSelected());
    EXPECT_FALSE(screen->addBtn()->isSelected());
    EXPECT_EQ(screen->segment()->selectedSegmentIndex(), 1);
    EXPECT_EQ(screen->mod(), "1");

    EXPECT_EQ(screen->recommendLabel()->text(), "根据你的情况，推荐使用以下套餐");
    EXPECT_EQ(screen->suitLabel()->text(), "流量套餐升级，包月全时段有效");
    EXPECT_FALSE(screen->spareLabel());
    EXPECT_EQ(rows(screen->tableViewOfRecommend()), 2);
    EXPECT_EQ(rows(screen->tableViewOfSuit()), 5);
    EXPECT_EQ(screen->frontHeight(), 68);
    EXPECT_EQ(screen->scrollHeight(), 68 + (31 + 2 * 60 + 10) + (31 + 5 * 60 + 10));
    EXPECT_EQ(screen->scrollView()->contentSize().height(), screen->scrollHeight() + 20);

    // The plan in use and the plans on offer.
    FlowSuitCell* current = rowNamed(screen->tableViewOfSuit(), "流量套餐1G");
    ASSERT_TRUE(current);
    EXPECT_EQ(current->labelOfDesc2()->text(), "当前在用");
    EXPECT_FALSE(current->orderBtn()->isEnabled());
    FlowSuitCell* offered = rowOf(screen->tableViewOfRecommend(), 0);
    EXPECT_TRUE(offered->orderBtn()->isEnabled());
    EXPECT_EQ(offered->labelOfDesc()->text(), "生效时间：次月生效");
    EXPECT_EQ(offered->tcIcon()->currentTitle(), "2G");
    EXPECT_EQ(offered->labelOfName()->text(), "70元/月2G");
}

TEST_F(PlanChangeTest, TabsReLayTheListsWithoutAsking) {
    FlowSuitChangeController* screen = openLaidOut();
    const qsizetype asked = sandbox.requests().size();
    click(screen->addBtn());
    EXPECT_EQ(screen->dataType(), 2);
    EXPECT_TRUE(screen->addBtn()->isSelected());
    EXPECT_EQ(screen->recommendLabel()->text(), "根据你的情况，推荐使用以下流量加油包");
    EXPECT_EQ(screen->suitLabel()->text(), "流量加油包，当月可重复订购，次月自动失效");
    EXPECT_EQ(screen->spareLabel()->text(), "流量闲时包，省内23点到次日08点流量");
    EXPECT_EQ(rows(screen->tableViewOfRecommend()), 2);
    EXPECT_EQ(rows(screen->tableViewOfSuit()), 5);
    EXPECT_EQ(rows(screen->tableViewOfspareSuit()), 2);
    click(screen->suitBtn());
    EXPECT_EQ(screen->dataType(), 1);
    EXPECT_FALSE(screen->spareLabel());
    EXPECT_EQ(sandbox.requests().size(), asked);
}

QStringList g_console;
void keepConsoleLine(QtMsgType, const QMessageLogContext&, const QString& text) {
    g_console << text;
}

TEST_F(PlanChangeTest, OpenersChooseTheMode) {
    const struct {
        QVariant dataType;
        qint64 mode;
        QStringList console; // an opener that gave no mode is said on the console
    } cases[] = {{QVariant(), 1, {"0"}}, {"1", 1, {}}, {"2", 2, {}}, {"x", 1, {"0"}}};
    for (const auto& c : cases) {
        g_console.clear();
        const QtMessageHandler previous = qInstallMessageHandler(keepConsoleLine);
        FlowSuitChangeController* screen = openLaidOut(c.dataType);
        qInstallMessageHandler(previous);
        EXPECT_EQ(g_console.filter(QRegularExpression("^\\d+$")), c.console)
            << c.dataType.toString().toStdString();
        EXPECT_EQ(screen->dataType(), c.mode) << c.dataType.toString().toStdString();
        EXPECT_EQ(screen->addBtn()->isSelected(), c.mode == 2);
        EXPECT_EQ(screen->spareLabel() != nullptr, c.mode == 2);
        closeWindow();
    }
}

TEST_F(PlanChangeTest, TheSegmentAsksForTheOtherNetworksLists) {
    FlowSuitChangeController* screen = openLaidOut();
    clickSegment(screen, 0);
    ASSERT_TRUE(waitUntil([&] { return screen->mod() == "0"; }));
    EXPECT_EQ(fieldsOf("FlowRecommend").last(), (Fields{{"type", "0"}}));
    EXPECT_EQ(rows(screen->tableViewOfSuit()), 3); // no 4G-only plan
}

// Scrolled down, the other network's shorter lists leave the screen at their new end, not in
// empty space below it, and the wheel brings the top back.
TEST_F(PlanChangeTest, ShorterListsOfTheOtherNetworkKeepTheScreenInRange) {
    FlowSuitChangeController* screen = openLaidOut();
    ui::ScrollView* scroll = screen->scrollView();
    clock.clock.advance(kOverlaySettleMs); // the loading overlay leaves first
    settle();
    const QPointF over = windowinput::pointInWindow(scroll, scroll->bounds().center());
    for (int i = 0; i < 30; ++i)
        windowinput::wheel(window.get(), over, -120);
    // Back up until the network switch shows, as a subscriber scrolls to press it.
    FlowSegmentedControl* seg = screen->segment();
    while (seg->frame().center().y() < scroll->contentOffset().y())
        windowinput::wheel(window.get(), over, 120);
    const double before = scroll->contentOffset().y();
    clickSegment(screen, 0);
    ASSERT_TRUE(waitUntil([&] { return screen->mod() == "0"; }));
    ASSERT_GT(before, scroll->maximumContentOffset().y()); // the lists did get shorter
    EXPECT_EQ(scroll->contentOffset(), scroll->maximumContentOffset());
    for (int i = 0; i < 30; ++i)
        windowinput::wheel(window.get(), over, 120);
    EXPECT_EQ(scroll->contentOffset(), QPointF(0, 0));
}

TEST_F(PlanChangeTest, AnOlderNetworksListsNeverReplaceTheNewer) {
    FlowSuitChangeController* screen = openLaidOut();
    sandbox.setFault("FlowRecommend", sandbox::Fault::delay(5000));
    clickSegment(screen, 0);
    ASSERT_TRUE(waitUntil([&] { return fieldsOf("FlowRecommend").size() == 2; }));
    sandbox.clearFault("FlowRecommend");
    clickSegment(screen, 1);
    ASSERT_TRUE(waitUntil([&] { return fieldsOf("FlowRecommend").size() == 3; }));
    ASSERT_TRUE(waitUntil([&] { return rows(screen->tableViewOfSuit()) == 5; }));
    clock.clock.advance(6000); // the first network's lists would arrive now
    ASSERT_TRUE(waitForRequestsToEnd(screen));
    EXPECT_EQ(screen->mod(), "1");
    EXPECT_EQ(rows(screen->tableViewOfSuit()), 5);
    EXPECT_EQ(screen->segment()->selectedSegmentIndex(), 1);
}

TEST_F(PlanChangeTest, AMapListThatIsNotAListKeepsTheScreenAsItWas) {
    FlowSuitChangeController* screen = openLaidOut();
    script("FlowRecommend", R"({"result":0,"type":"0","maplist":{"position":1}})");
    clickSegment(screen, 0);
    ASSERT_TRUE(waitUntil([&] { return alertCount() > 0; }));
    EXPECT_EQ(alertMessage(), "查询失败");
    EXPECT_EQ(screen->mod(), "1");
    EXPECT_EQ(rows(screen->tableViewOfSuit()), 5);
    // Only a vertical indicator, in white.
    EXPECT_EQ(screen->scrollView()->indicatorStyle(), ui::ScrollView::IndicatorStyle::White);
    EXPECT_FALSE(screen->scrollView()->showsHorizontalScrollIndicator());
}

TEST_F(PlanChangeTest, APackOrderedFromItsRowIsCountedAndAnnouncedFirst) {
    FlowSuitChangeController* screen = openLaidOut("2");
    FlowSuitCell* pack = rowNamed(screen->tableViewOfSuit(), "300M流量加油包");
    ASSERT_TRUE(pack);
    EXPECT_EQ(pack->labelOfDesc2()->text(), QString());
    NotificationCounter added(notification::kAddedFlowPack);
    int alertsWhenAnnounced = -1;
    ns::NotificationCenter::defaultCenter().addObserver(
        &added, QString::fromLatin1(notification::kAddedFlowPack), nullptr,
        [&](const ns::Notification&) { alertsWhenAnnounced = alertCount(); });
    click(pack->orderBtn());
    OrderAlertVC* confirm = pack->controller();
    ASSERT_TRUE(confirm);
    EXPECT_EQ(confirm->nameLBL()->text(), "300M流量加油包");
    EXPECT_EQ(pack->labelOfName()->text(), "29.9元/月300M");
    EXPECT_EQ(confirm->levelLBL()->text(), "29.9元/月300M");
    EXPECT_TRUE(fieldsOf("Order").isEmpty());
    click(confirm->orderBtn());
    ASSERT_TRUE(waitUntil([&] { return alertMessage() == "订购成功"; }));
    EXPECT_EQ(
        fieldsOf("Order"),
        (QList<Fields>{{{"target", "8800002000300"}, {"marketid", "M2000300"}, {"action", "1"}}}));
    EXPECT_EQ(added.count, 1);
    EXPECT_EQ(alertsWhenAnnounced, 0);
    EXPECT_EQ(fieldsOf("FlowRecommend").last(), (Fields{{"type", "1"}}));
    ASSERT_TRUE(waitUntil([&] {
        FlowSuitCell* row = rowNamed(screen->tableViewOfSuit(), "300M流量加油包");
        return row && row->labelOfDesc2()->text() == "已购1次";
    }));
}

TEST_F(PlanChangeTest, CancellingTheConfirmationOrdersNothing) {
    FlowSuitChangeController* screen = openLaidOut();
    FlowSuitCell* plan = rowOf(screen->tableViewOfRecommend(), 0);
    click(plan->orderBtn());
    ASSERT_TRUE(plan->controller());
    click(plan->controller()->cancelBtn());
    settle();
    EXPECT_TRUE(fieldsOf("Order").isEmpty());
    EXPECT_FALSE(plan->alertView());
}

TEST(PlanRow, FollowsItsOwnDataOnEveryLayout) {
    const QRectF plan(15, 10, 36, 31), pack(15, 14, 38, 41);
    const struct {
        const char* why;
        QByteArray data;
        bool isSuit;
        QString desc2;
        bool enabled;
        QString picture, iconTitle; // the icon's background and the size written over it
        QRectF iconFrame;
    } cases[] = {
        {"plan in use", R"({"freesource":102400,"fee":"10","state":1})", true, "当前在用", false,
         "flow_package", "100M", plan},
        {"plan next month", R"({"freesource":102400,"fee":10,"state":"2"})", true,
         "已办理，下月生效", false, "flow_package", "100M", plan},
        {"pack bought twice while in use", R"({"freesource":153600,"state":1,"number":2})", false,
         "已购2次", false, "flow_150_s", "", pack},
        {"orderable 20M pack", R"({"freesource":20480,"state":0})", false, "", true, "flow_20_s",
         "", pack},
        {"1G pack", R"({"freesource":1048576})", false, "", true, "flow_1g_s", "", pack},
        {"pack of another size", R"({"freesource":307200,"number":"1"})", false, "已购1次", true,
         "flow_other_s", "300M", pack},
        {"pack of a long size", R"({"freesource":1047552})", false, "", true, "flow_other_s",
         "1023M", pack},
        {"pack of a plan's size", R"({"freesource":2097152})", false, "", true, "flow_other_s",
         "2G", pack},
    };
    // One row reused for every case, as a table reuses it: nothing carries over.
    FlowSuitCell cell;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const QVariantMap data = QJsonDocument::fromJson(c.data).object().toVariantMap();
        cell.setCellData(data);
        cell.setIsSuit(c.isSuit);
        cell.setIsRecommend(false);
        cell.layoutSubviews();
        EXPECT_EQ(cell.labelOfDesc2()->text(), c.desc2);
        EXPECT_EQ(cell.orderBtn()->isEnabled(), c.enabled);
        EXPECT_EQ(cell.orderBtn()->backgroundColor(),
                  c.enabled ? QColor(70, 140, 202) : QColor(226, 226, 226));
        EXPECT_EQ(cell.tcIcon()->frame(), c.iconFrame);
        ASSERT_FALSE(cell.tcIcon()->currentBackgroundImage().isNull());
        EXPECT_EQ(cell.tcIcon()->currentBackgroundImage(), ui::imageNamed(c.picture));
        EXPECT_EQ(cell.tcIcon()->currentTitle(), c.iconTitle);
        // The size text is drawn whole, on a drop within its body (3 to 35 across).
        ui::Label* title = cell.tcIcon()->titleLabel();
        EXPECT_EQ(textFault(title), "");
        if (!c.isSuit && !c.iconTitle.isEmpty()) {
            EXPECT_GE(title->frame().left(), 3);
            EXPECT_LE(title->frame().right(), 35);
        }
    }
}

TEST_F(PlanChangeTest, ARefusalStopsTheChain) {
    const struct {
        const char* why;
        QByteArray plans;
        QString title, message;
    } cases[] = {
        {"expired", R"({"result":9999,"msg":"请重新登录"})", "提示", "请重新登录"},
        {"other code", R"({"result":5,"msg":"系统维护"})", QString(), "系统维护"},
        {"not a list", R"({"result":0,"list":{"a":1}})", "系统提示", "查询失败"},
        {"not JSON", "<html>", "提示", "请求超时"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        script("Balance", R"({"result":0,"is_4g":false})");
        script("FlowProduct", c.plans);
        const qsizetype before = scripted()->requests().size();
        FlowSuitChangeController* screen = openChange();
        ASSERT_TRUE(waitUntil([&] { return alertCount() > 0; }));
        settle();
        EXPECT_EQ(ui::AlertCenter::topAlert()->title(), c.title);
        EXPECT_EQ(alertMessage(), c.message);
        // Balance and one product list, then nothing more.
        EXPECT_EQ(scripted()->requests().size(), before + 2);
        EXPECT_FALSE(screen->tableViewOfSuit());
        clock.clock.advance(kOverlaySettleMs);
        settle();
        EXPECT_FALSE(screen->baseHud() && screen->baseHud()->isVisible());
        closeWindow();
    }
}

} // namespace
} // namespace flow_test
