#include "tests/display/DisplaySession.h"

namespace {

constexpr QPointF kSwitch(279, 64 + 35);

TEST_F(DisplayTest, TheNoticeSwitchIsFlippedByAClickAndTheChoiceSent) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start({"kelvamor://Main&SettingViewController"}));
    ASSERT_TRUE(session.waitForRequest("LoginSMS")); // the reading: on for this subscriber
    const auto switchOn = [&] {
        return DisplaySession::near(session.pixel(kSwitch - QPointF(16, 0)), {76, 217, 100}, 30);
    };
    ASSERT_TRUE(DisplaySession::waitFor(switchOn));
    ASSERT_TRUE(session.waitForStillScreen());
    session.click(kSwitch);
    const auto choices = [&] { // what the changes sent, apart from the readings
        QStringList out;
        for (const QVariantMap& r : session.requests("LoginSMS"))
            if (r.value("action") == "1") out << r.value("notify").toString();
        return out;
    };
    ASSERT_TRUE(DisplaySession::waitFor([&] { return !choices().isEmpty(); }));
    EXPECT_EQ(choices(), QStringList{"0"});
    EXPECT_TRUE(session.waitForDefault("LoginSMS13800000001", "0"));
    EXPECT_TRUE(DisplaySession::waitFor([&] { return !switchOn(); }));
}

} // namespace
