#include "BillingHarness.h"
#include "app/core/NotificationNames.h"
#include "screens/billing/RechargeViewController.h"
#include "screens/usage/FlowDayStatsController.h"
#include "screens/usage/FlowMainController.h"
#include "widgets/DailyLineChartView.h"

namespace {

using namespace billing_test;

// What every screen does with a reply that says the session has run out.
class CommonReplies : public BillingHarness {};

TEST_F(CommonReplies, AnExpiredSessionAlertsOnceAndSendsToLogInOnce) {
    const struct {
        const char* screen;
        std::function<void(SandboxFixture&)> provoke;
        std::function<ui::ViewController*()> open;
        QString message;                                  // "" for the sandbox's own
        std::function<bool(ui::ViewController*)> unknown; // nothing shown as if known
    } cases[] = {
        {"daily usage", [](SandboxFixture& s) { s.expireSessions(); },
         [] { return ui::Storyboard::instantiateViewController("Flow", "FlowDayStatsController"); },
         "",
         [](ui::ViewController* vc) {
             return qobject_cast<FlowDayStatsController*>(vc)->dispArrayOfDailyUsed().isEmpty();
         }},
        {"usage main",
         [](SandboxFixture& s) { s.setFault("Balance", sandbox::Fault::result(9999, "会话过期")); },
         [] { return ui::Storyboard::instantiateInitialViewController("Flow"); }, "会话过期",
         [](ui::ViewController* vc) {
             return qobject_cast<FlowMainController*>(vc)->meterView()->progress() == -1;
         }},
        // Four requests at once, each refused: still one alert.
        {"recharge",
         [](SandboxFixture& s) { s.setFault("*", sandbox::Fault::result(9999, "登录已失效")); },
         [] { return new RechargeViewController; }, "登录已失效",
         [](ui::ViewController* vc) {
             return qobject_cast<RechargeViewController*>(vc)->labelOfPayment()->text() ==
                    "正在获取金额...";
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.screen);
        sandbox.clearFaults();
        signIn(SandboxFixture::demoNumber());
        c.provoke(sandbox);
        NotificationCounter toLogin(notification::kPushToLoginVeiw);
        ui::ViewController* screen = show(c.open());
        ASSERT_TRUE(waitFor([&] { return alertCount() > 0; }));
        waitUntil([] { return false; }, 300); // the other answers arrive meanwhile
        settle();
        EXPECT_EQ(alertCount(), 1);
        if (!c.message.isEmpty()) {
            EXPECT_EQ(alertMessage(), c.message);
        }
        EXPECT_TRUE(c.unknown(screen));
        EXPECT_TRUE(ui::AlertCenter::press(0));
        EXPECT_EQ(toLogin.count, 1);
        closeWindow();
    }
}

} // namespace
