#include "FlowHarness.h"

#include "platform/foundation/Values.h"
#include "platform/ui/Label.h"

#include "sandbox/FlowData.h"
#include "sandbox/SandboxServer.h"
#include "screens/usage/AddFlowAlertVc.h"
#include "screens/usage/FlowFormat.h"
#include "screens/usage/FlowMainController.h"
#include "screens/usage/FlowSuitChangeController.h"
#include "screens/usage/OrderAlertVC.h"
#include "widgets/ModalDialogBox.h"
#include "widgets/ModalDialogView.h"
#include "widgets/RadioButton.h"

namespace flow_test {
namespace {

const QString kPack150Id = "8800002000150";

class MainScreenTest : public FlowHarness {
protected:
    FlowMainController* openMain() {
        auto* vc = ui::Storyboard::instantiateInitialViewController("Flow");
        auto* screen = qobject_cast<FlowMainController*>(vc);
        EXPECT_TRUE(screen);
        show(vc);
        return screen;
    }
    FlowMainController* openLoaded() {
        FlowMainController* screen = openMain();
        EXPECT_TRUE(loaded(screen));
        return screen;
    }
    static bool loaded(FlowMainController* screen) {
        return waitUntil([&] {
            return screen->meterView()->progress() >= 0 && !screen->addFlowBtn()->isHidden() &&
                   !screen->recommendFlowProduct().isEmpty();
        });
    }
    QJsonObject balance() {
        return sandbox::FlowData::balance(sandbox.server().backend().database(),
                                          SandboxFixture::demoNumber());
    }
    static float percentOf(const QJsonObject& b) {
        return float(b.value("gntyll").toInteger()) / float(b.value("gntytotal").toInteger()) * 100;
    }
    // Waits for the meter to show the figures of a "Balance".
    static bool meterShows(FlowMainController* screen, const QJsonObject& b) {
        const FlowFormat::Amount amount =
            FlowFormat::amountOfKb(double(b.value("gntyll").toInteger()));
        return waitUntil([&] {
            return qAbs(screen->meterView()->progress() - percentOf(b)) < 1e-3 &&
                   screen->meterView()->surplusFlowData() == amount.number &&
                   screen->meterView()->surplusFlowUnit() == amount.unit;
        });
    }
    // Picks the second pack in the choice dialog and confirms it.
    void chooseSecondPack(FlowMainController* screen) {
        click(screen->addFlowBtn());
        AddFlowAlertVc* choice = screen->addFlowController();
        ASSERT_TRUE(choice && choice->productImage(1));
        click(choice->productImage(1));
        EXPECT_FALSE(choice->rb1()->isChecked());
        EXPECT_TRUE(choice->rb2()->isChecked());
        EXPECT_EQ(choice->radioIndex(), 1);
        click(choice->confirmButton());
    }
};

TEST_F(MainScreenTest, MeterFromTheBalanceAndTheOffersLoaded) {
    FlowMainController* screen = openMain();
    EXPECT_EQ(screen->meterView()->surplusFlowData(), "...");
    EXPECT_EQ(screen->meterView()->progress(), -1);
    EXPECT_TRUE(screen->addFlowBtn()->isHidden());
    EXPECT_EQ(screen->recommendSuitBtn()->currentTitle(), "根据您的使用情况，您有新的推荐套餐");
    ASSERT_TRUE(loaded(screen));
    EXPECT_EQ(interfaceOrder().mid(0, 3), (QStringList{"FlowProduct", "FlowProduct", "Balance"}));
    EXPECT_EQ(fieldsOf("FlowProduct"), (QList<Fields>{{{"position", "0"}}, {{"position", "2"}}}));
    EXPECT_TRUE(meterShows(screen, balance()));
    EXPECT_TRUE(PublicFunction::isUser4g());
    EXPECT_EQ(screen->addRecommendDataList().size(), 2);
    // The 4G line on a 1G plan is offered the next plan up.
    EXPECT_EQ(screen->recommendSuitBtn()->currentTitle(),
              "根据您的使用情况，推荐您办理70元/月2G套餐");
}

TEST_F(MainScreenTest, APackIsOrderedThroughBothDialogs) {
    FlowMainController* screen = openLoaded();
    click(screen->addFlowBtn());
    AddFlowAlertVc* choice = screen->addFlowController();
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->getAddFlowImageName(0), "flow_50_b");
    EXPECT_EQ(choice->getAddFlowImageName(1), "flow_150_b");
    EXPECT_TRUE(choice->rb1()->isChecked());
    EXPECT_FALSE(choice->rb2()->isChecked());
    // The fees as the server sent them: 9.9, not 9.9000000000000004.
    QStringList fees;
    for (ui::View* v : choice->view()->subviews())
        if (auto* label = qobject_cast<ui::Label*>(v); label && label->text().endsWith("元"))
            fees << label->text();
    EXPECT_EQ(fees, (QStringList{"9.9元", "20元"}));
    // The radio button itself chooses too.
    click(choice->rb2());
    EXPECT_EQ(choice->radioIndex(), 1);
    click(choice->productImage(0));
    EXPECT_EQ(choice->radioIndex(), 0);
    click(choice->productImage(1));
    click(choice->confirmButton());

    OrderAlertVC* confirm = screen->orderAlertController();
    ASSERT_TRUE(confirm);
    EXPECT_EQ(confirm->nameLBL()->text(), "150M流量加油包");
    EXPECT_EQ(confirm->levelLBL()->text(), "20元/月150M");
    EXPECT_TRUE(fieldsOf("Order").isEmpty());
    click(confirm->orderBtn());

    ASSERT_TRUE(waitUntil([&] { return alertMessage() == "订购成功"; }));
    EXPECT_EQ(fieldsOf("Order"),
              (QList<Fields>{{{"target", kPack150Id}, {"marketid", "M2000150"}, {"action", "1"}}}));
}

TEST_F(MainScreenTest, OnlyAnOrderTheServerTookRaisesTheMeter) {
    FlowMainController* screen = openLoaded();
    const struct {
        const char* why;
        bool drop, confirm;
        QString alert;
        int orders, added;
    } steps[] = {
        {"taken", false, true, "订购成功", 1, 1},
        {"the same pack again at once", false, true, "您刚刚已订购该流量包，请勿重复订购", 2, 1},
        {"connection dropped: sent once", true, true, "网络连接失败,请检查您的网络设置", 3, 1},
        {"confirmation cancelled", false, false, "", 3, 1},
    };
    NotificationCounter added(notification::kAddedFlowPack);
    for (const auto& s : steps) {
        SCOPED_TRACE(s.why);
        const QJsonObject before = balance();
        if (s.drop) sandbox.setFault("Order", sandbox::Fault::drop());
        chooseSecondPack(screen);
        OrderAlertVC* confirm = screen->orderAlertController();
        click(s.confirm ? confirm->orderBtn() : confirm->cancelBtn());
        ASSERT_TRUE(waitUntil([&] { return alertCount() > 0 || !s.confirm; }));
        EXPECT_EQ(alertMessage(), s.alert);
        waitUntil([&] { return sandbox.requestsTo("Order").size() > s.orders; }, 300);
        EXPECT_EQ(sandbox.requestsTo("Order").size(), s.orders);
        EXPECT_EQ(added.count, s.added);
        if (s.orders == 1) {
            EXPECT_EQ(balance().value("gntytotal").toInteger(),
                      before.value("gntytotal").toInteger() + 150 * 1024);
            ASSERT_TRUE(meterShows(screen, balance()));
            EXPECT_GT(screen->meterView()->progress(), percentOf(before));
        } else {
            EXPECT_EQ(balance(), before);
        }
        EXPECT_TRUE(meterShows(screen, balance()));
        EXPECT_TRUE(s.confirm || !screen->confirmAlertView());
        ui::AlertCenter::dismissAll();
        sandbox.clearFault("Order");
    }
}

TEST_F(MainScreenTest, TheRecommendedPlanIsConfirmedBeforeItIsOrdered) {
    FlowMainController* screen = openLoaded();
    click(screen->recommendSuitBtn());
    settle();
    EXPECT_TRUE(fieldsOf("Order").isEmpty());
    OrderAlertVC* confirm = screen->orderAlertController();
    ASSERT_TRUE(confirm);
    EXPECT_EQ(confirm->nameLBL()->text(), "4G流量套餐2G");
    click(confirm->orderBtn());
    ASSERT_TRUE(waitUntil([&] { return alertMessage() == "订购成功"; }));
    EXPECT_EQ(
        fieldsOf("Order"),
        (QList<Fields>{{{"target", "8800001002048"}, {"marketid", "M1002048"}, {"action", "1"}}}));
}

TEST_F(MainScreenTest, TheChoiceDialogLeadsToThePackScreen) {
    FlowMainController* screen = openLoaded();
    click(screen->addFlowBtn());
    click(screen->addFlowController()->jumpButton());
    ASSERT_TRUE(waitUntil([&] { return topScene() == "FlowSuitChangeController"; }));
    EXPECT_EQ(qobject_cast<FlowSuitChangeController*>(nav->topViewController())->dataType(), 2);
    EXPECT_TRUE(fieldsOf("Order").isEmpty());
}

TEST_F(MainScreenTest, LinksOpenTheirScreensInTheirModes) {
    const struct {
        QString title, scene;
        qint64 dataType; // -1: no mode
    } links[] = {
        {"每日流量", "FlowDayStatsController", -1},
        {"每月流量", "FlowMonStatsController", -1},
        {"其他免费资源", "OtherFlowController", -1},
        {"变更流量套餐", "FlowSuitChangeController", 1},
        {"流量加油包", "FlowSuitChangeController", 2},
    };
    for (const auto& link : links) {
        SCOPED_TRACE(link.title.toStdString());
        FlowMainController* screen = openLoaded();
        click(screen->linkButton(link.title));
        ASSERT_TRUE(waitUntil([&] { return topScene() == link.scene; }));
        if (link.dataType >= 0) {
            EXPECT_EQ(nav->topViewController()->property("dataType").toLongLong(), link.dataType);
        }
        closeWindow();
    }
}

TEST_F(MainScreenTest, AClosedChoiceDialogsRadioButtonsHearNothingMore) {
    FlowMainController* screen = openLoaded();
    click(screen->addFlowBtn());
    QPointer<RadioButton> oldFirst = screen->addFlowController()->rb1();
    QPointer<RadioButton> oldSecond = screen->addFlowController()->rb2();
    click(screen->addFlowController()->closeButton());
    // Opened again at once, before the old dialog's views are gone.
    screen->showRecommendAddFlowAlert();
    AddFlowAlertVc* choice = screen->addFlowController();
    EXPECT_TRUE(oldFirst.isNull());
    EXPECT_TRUE(oldSecond.isNull());
    const QList<RadioButton*> group = RadioButton::instancesOfGroup(AddFlowAlertVc::kGroupId);
    EXPECT_EQ(group, (QList<RadioButton*>{choice->rb1(), choice->rb2()}));
    click(choice->rb2());
    EXPECT_EQ(choice->radioIndex(), 1);
    EXPECT_FALSE(choice->rb1()->isChecked());
}

TEST_F(MainScreenTest, OfferRepliesAreUsedOnlyWhenAccepted) {
    const struct {
        const char* why;
        QByteArray packs, plans;
        bool buttonShown;
        QString title;
    } cases[] = {
        {"accepted", R"({"list":[{"unit":51200,"fee":"10"}]})",
         R"({"result":0,"list":[{"unit":102400,"fee":"10"}]})", true, "推荐您办理10元/月100M套餐"},
        {"refused", R"({"result":7,"list":[{"unit":51200}]})",
         R"({"result":9999,"list":[{"unit":102400}]})", false, "您有新的推荐套餐"},
        {"not lists", R"({"result":0,"list":{"unit":51200}})", R"({"result":0,"list":"x"})", false,
         "您有新的推荐套餐"},
        {"empty", R"({"result":0,"list":[]})", R"({"result":0,"list":[]})", false,
         "您有新的推荐套餐"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        // Both positions share the interface: answer by the field sent.
        script("Balance", {}); // the client asks the scripted server from here on
        scripted()->setHandler(
            [plans = c.plans, packs = c.packs](const ScriptedServer::Request& r) {
                if (r.path.endsWith("FlowProduct.do"))
                    return ScriptedServer::json(r.body.contains("position=2") ? plans : packs);
                return ScriptedServer::json(R"({"result":0,"gntyll":1,"gntytotal":2})");
            });
        const qsizetype before = scripted()->requests().size();
        FlowMainController* screen = openMain();
        ASSERT_TRUE(scripted()->waitForRequests(int(before) + 3));
        waitUntil([&] { return screen->meterView()->progress() >= 0; });
        settle();
        EXPECT_EQ(!screen->addFlowBtn()->isHidden(), c.buttonShown);
        EXPECT_EQ(screen->recommendSuitBtn()->currentTitle(), "根据您的使用情况，" + c.title);
        EXPECT_EQ(alertCount(), 0);
        closeWindow();
    }
}

TEST_F(MainScreenTest, MeterFromOddBalances) {
    const struct {
        const char* why;
        QByteArray body;
        float progress;
        QString number, unit;
    } cases[] = {
        {"half left", R"({"result":0,"gntyll":524288,"gntytotal":1048576})", 50, "512.00", "MB"},
        {"no total", R"({"result":0,"gntyll":0,"gntytotal":0})", 0, "0.00", "KB"},
        {"no figures", R"({"result":0})", 0, "0.00", "KB"},
        {"texts", R"({"result":0,"gntyll":"1048576","gntytotal":"2097152"})", 50, "1.00", "GB"},
        {"overdrawn", R"({"result":0,"gntyll":-5,"gntytotal":100})", 0, "-5.00", "KB"},
        // What a hostile server may send: the meter stays within its dial, the text short.
        {"the largest integers",
         R"({"result":0,"gntyll":9223372036854775807,"gntytotal":9223372036854775807})", 100,
         "1073741824.00", "GB"},
        {"more left than given", R"({"result":0,"gntyll":1e300,"gntytotal":1})",
         float(ns::Values::kQuantityLimit) * 100, "1073741824.00", "GB"},
        {"a negative total", R"({"result":0,"gntyll":1024,"gntytotal":-9223372036854775808})", 0,
         "1.00", "MB"},
        {"garbage", R"({"result":0,"gntyll":"NaN","gntytotal":[1024]})", 0, "0.00", "KB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        script("Balance", c.body);
        FlowMainController* screen = openMain();
        ASSERT_TRUE(waitUntil([&] { return screen->meterView()->progress() >= 0; }));
        EXPECT_FLOAT_EQ(screen->meterView()->progress(), c.progress);
        EXPECT_EQ(screen->meterView()->surplusFlowData(), c.number);
        EXPECT_EQ(screen->meterView()->surplusFlowUnit(), c.unit);
        closeWindow();
    }
}

TEST_F(MainScreenTest, AnExpiredSessionAlertsOnceAndKeepsTheMeterUnknown) {
    sandbox.setFault("Balance", sandbox::Fault::result(9999, "会话过期"));
    NotificationCounter toLogin(notification::kPushToLoginVeiw);
    FlowMainController* screen = openMain();
    ASSERT_TRUE(waitUntil([&] { return alertCount() == 1; }));
    EXPECT_EQ(alertMessage(), "会话过期");
    EXPECT_EQ(screen->meterView()->progress(), -1);
    EXPECT_TRUE(ui::AlertCenter::press(0));
    EXPECT_EQ(toLogin.count, 1);
}

} // namespace
} // namespace flow_test
