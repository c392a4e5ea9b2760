#include "QueryHarness.h"

#include "platform/ui/Label.h"
#include "platform/ui/Switch.h"
#include "screens/query/SettingViewController.h"
#include "tests/support/RequestWait.h"
#include "widgets/NumberJump.h"
#include "widgets/TextLayer.h"

namespace {

using namespace query_test;

class LoginSmsTest : public ScreenHarness {
protected:
    SettingViewController* showSettings() {
        auto* screen = show<SettingViewController>("SettingViewController");
        EXPECT_NE(screen, nullptr);
        return screen;
    }
    QString key() const { return "LoginSMS" + SandboxFixture::demoNumber(); }
    QVariant stored() const { return PublicFunction::getConfigWithKey(key()); }
    QString onServer() {
        return sandbox.server()
            .backend()
            .database()
            .scalar("SELECT notify FROM login_sms WHERE number = ?", {SandboxFixture::demoNumber()})
            .toString();
    }
    // The "notify" values of the change requests received so far.
    QStringList sentChoices() const {
        QStringList out;
        for (const auto& r : sandbox.requestsTo("LoginSMS"))
            if (r.fields.value("action") == "1") out << r.fields.value("notify");
        return out;
    }
    bool queryAnswered() {
        return waitUntil([&] {
            return sandbox.requestsTo("LoginSMS").size() >= 1 &&
                   (screen && !screen->notify().isEmpty());
        });
    }
    void flip() { click(screen->switchOfLoginSMS()); }

    QPointer<SettingViewController> screen;
};

TEST_F(LoginSmsTest, TheStoredValueSetsTheSwitchUntilTheServerAnswers) {
    sandbox.setFault("LoginSMS", sandbox::Fault::noAnswer());
    const struct {
        QVariant stored;
        bool on;
    } cases[] = {{QVariant(), true}, {"", true}, {"0", false}, {"1", true}, {"x", true}};
    for (const auto& c : cases) {
        if (c.stored.isValid())
            PublicFunction::saveConfig(c.stored, key());
        else
            PublicFunction::removeConfigWithKey(key());
        screen = showSettings();
        EXPECT_EQ(screen->switchOfLoginSMS()->isOn(), c.on) << c.stored.toString().toStdString();
    }
}

TEST_F(LoginSmsTest, TheServersSettingShowsAndIsNotStored) {
    const struct {
        const char* onServer;
        bool on;
    } cases[] = {{"1", true}, {"0", false}};
    for (const auto& c : cases) {
        sandbox.server().backend().database().exec(
            "UPDATE login_sms SET notify = ? WHERE number = ?",
            {c.onServer, SandboxFixture::demoNumber()});
        PublicFunction::saveConfig(c.on ? "0" : "1", key());
        screen = showSettings();
        ASSERT_TRUE(queryAnswered());
        const auto query = sandbox.requestsTo("LoginSMS").last();
        EXPECT_EQ(fieldKeys(query), (QStringList{"session", "num", "action"}));
        EXPECT_EQ(query.fields.value("action"), "0");
        EXPECT_EQ(screen->notify(), c.onServer);
        EXPECT_EQ(screen->switchOfLoginSMS()->isOn(), c.on);
        EXPECT_EQ(stored().toString(), c.on ? "0" : "1"); // reading does not write
    }
}

TEST_F(LoginSmsTest, AFlipSendsTheUsersChoiceAndLocksTheSwitchForTenSeconds) {
    screen = showSettings();
    ASSERT_TRUE(queryAnswered());
    ASSERT_TRUE(screen->switchOfLoginSMS()->isOn());

    flip();
    ASSERT_TRUE(waitUntil([&] { return sentChoices().size() == 1; }));
    const auto change = sandbox.requestsTo("LoginSMS").last();
    EXPECT_EQ(fieldKeys(change), (QStringList{"session", "num", "action", "notify"}));
    EXPECT_EQ(sentChoices(), QStringList{"0"});
    EXPECT_FALSE(screen->switchOfLoginSMS()->isOn());
    EXPECT_EQ(screen->notify(), "0");
    EXPECT_EQ(stored().toString(), "0");
    ASSERT_TRUE(waitUntil([&] { return onServer() == "0"; }));

    // Locked: the count-down sits on the knob and a click on the switch explains the lock.
    EXPECT_FALSE(screen->switchOfLoginSMS()->isEnabled());
    EXPECT_FALSE(screen->viewAboveSwitch()->isHidden());
    ASSERT_NE(screen->textLayer(), nullptr);
    EXPECT_EQ(screen->textLayer()->string(), "10");
    EXPECT_TRUE(screen->labelOfReminder()->isHidden());
    flip();
    EXPECT_FALSE(screen->labelOfReminder()->isHidden());
    EXPECT_EQ(sentChoices().size(), 1);
    EXPECT_FALSE(screen->switchOfLoginSMS()->isOn());
    clock.clock.advance(SettingViewController::kReminderMs);
    EXPECT_TRUE(screen->labelOfReminder()->isHidden());

    clock.clock.advance(SettingViewController::kLockMs - SettingViewController::kReminderMs - 1);
    EXPECT_FALSE(screen->switchOfLoginSMS()->isEnabled());
    EXPECT_EQ(screen->textLayer()->string(), "0");
    clock.clock.advance(1);
    EXPECT_TRUE(screen->switchOfLoginSMS()->isEnabled());
    EXPECT_TRUE(screen->viewAboveSwitch()->isHidden());
    EXPECT_EQ(screen->textLayer(), nullptr);

    // Unlocked: the next flip sends the other value.
    flip();
    ASSERT_TRUE(waitUntil([&] { return sentChoices().size() == 2; }));
    EXPECT_EQ(sentChoices(), (QStringList{"0", "1"}));
    ASSERT_TRUE(waitUntil([&] { return onServer() == "1"; }));
    EXPECT_EQ(stored().toString(), "1");
}

TEST_F(LoginSmsTest, AFailedChangeStoresNothingWhenNothingWasStored) {
    PublicFunction::removeConfigWithKey(key());
    screen = showSettings();
    ASSERT_TRUE(queryAnswered());
    tavrixConfig::setServerBaseAddress("http://127.0.0.1:1/pelvo/");
    flip();
    ASSERT_TRUE(waitForAlert());
    EXPECT_EQ(topAlertMessage(), "网络连接失败,请检查您的网络设置");
    EXPECT_TRUE(screen->switchOfLoginSMS()->isOn());
    EXPECT_FALSE(stored().isValid());
}

TEST_F(LoginSmsTest, AReadingStillOnItsWayWhenTheUserFlipsIsDropped) {
    // The server says "on", but slowly; the user turns it off before the answer.
    sandbox.setFault("LoginSMS", sandbox::Fault::delay(3000));
    screen = showSettings();
    ASSERT_TRUE(sandbox.waitForRequests(1));
    ASSERT_TRUE(screen->switchOfLoginSMS()->isOn());
    flip();
    ASSERT_TRUE(sandbox.waitForRequests(2));
    EXPECT_EQ(sentChoices(), QStringList{"0"}); // the choice, not "the opposite of unknown"
    clock.clock.advance(3000);
    ASSERT_TRUE(waitUntil([&] { return onServer() == "0"; }));
    // Let both answers arrive; the late reading must not turn the switch back on.
    ASSERT_TRUE(waitForRequestsToEnd(screen));
    settle();
    EXPECT_FALSE(screen->switchOfLoginSMS()->isOn());
    EXPECT_EQ(screen->notify(), "0");
    EXPECT_EQ(stored().toString(), "0");
}

TEST_F(LoginSmsTest, ItsTimersDieWithTheScreen) {
    screen = showSettings();
    ASSERT_TRUE(queryAnswered());
    flip();
    click(screen->viewAboveSwitch()); // the reminder's timer too
    ASSERT_NE(screen->textLayer(), nullptr);
    EXPECT_TRUE(NumberJump::isJumping(screen->textLayer()));
    EXPECT_GT(clock.clock.pendingCount(), 0);
    window.reset();
    settle();
    EXPECT_EQ(screen, nullptr);
    clock.clock.advance(SettingViewController::kLockMs + 1000); // nothing may run now
    EXPECT_EQ(clock.clock.pendingCount(), 0);
}

} // namespace
