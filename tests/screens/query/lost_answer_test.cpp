#include "QueryHarness.h"

#include "app/core/AlertTexts.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TextField.h"
#include "screens/entry/PasswordModificationViewController.h"
#include "screens/query/FeedbackViewController.h"
#include "screens/query/SettingViewController.h"
#include "widgets/RRTextView.h"

namespace {

using namespace query_test;

// The sandbox drops the connection after reading a change: the server may or may not have
// made it, so the client must neither send it again nor store its own guess.
TEST_F(ScreenHarness, AChangeWhoseAnswerIsLostIsSentOnceAndNotStored) {
    const QString smsKey = "LoginSMS" + SandboxFixture::demoNumber();
    const QString password = SandboxFixture::demoPassword();
    auto dropNext = [&](const char* name) { sandbox.setFault(name, sandbox::Fault::drop()); };
    const struct {
        const char* interface;
        QString storedKey; // keeps its value
        std::function<void()> change;
    } cases[] = {
        {"ChangePassword", "password",
         [&] {
             auto* s = show<PasswordModificationViewController>(
                 "PasswordModificationViewController", true);
             s->oldPassword()->setText(password);
             s->freshPassword()->setText("654321");
             s->confirmFreshPassword()->setText("654321");
             dropNext("ChangePassword");
             click(s->confirmButton());
         }},
        {"FeedBack", "",
         [&] {
             auto* s = show<FeedbackViewController>("FeedbackViewController", true);
             s->RROfTextView()->setText("建议");
             click(s->typeButton());
             clickTitled(ui::AlertCenter::topActionSheet()->sheetView(), "产品建议");
             dropNext("FeedBack");
             click(s->submitButton());
         }},
        {"LoginSMS", smsKey,
         [&] {
             auto* s = show<SettingViewController>("SettingViewController");
             ASSERT_TRUE(waitUntil([&] { return !s->notify().isEmpty(); }));
             dropNext("LoginSMS");
             click(s->switchOfLoginSMS());
         }},
    };
    PublicFunction::saveConfig(password, "password");
    tavrixConfig::setIsSavePwd(true);
    PublicFunction::saveConfig("1", smsKey);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.interface);
        sandbox.clearFaults();
        sandbox.clearRequests();
        const QVariant before = PublicFunction::getConfigWithKey(c.storedKey);
        c.change();
        ASSERT_TRUE(waitForAlert());
        EXPECT_EQ(topAlertMessage(), AlertTexts::networkFailed());
        auto changes = [&] {
            int n = 0;
            for (const auto& r : sandbox.requestsTo(c.interface))
                n += r.fields.value("action") != "0"; // the setting's reading is no change
            return n;
        };
        // A resend would follow at once: give it the chance to show.
        waitUntil([&] { return changes() > 1; }, 300);
        EXPECT_EQ(changes(), 1);
        EXPECT_EQ(PublicFunction::getConfigWithKey(c.storedKey), before);
        ui::AlertCenter::dismissAll();
        letOverlayGo();
    }
}

} // namespace
