#include "tests/display/DisplaySession.h"

namespace {

constexpr QPointF kSwitch(279, 64 + 35);
constexpr QPointF kSubmit(160, 64 + 278);

TEST_F(DisplayTest, TheNoticeSwitchIsFlippedAndFeedbackTypedAndSent) {
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
    ASSERT_TRUE(DisplaySession::waitFor([&] { return !choices().isEmpty(); }, 20000));
    EXPECT_EQ(choices(), QStringList{"0"});
    EXPECT_TRUE(session.waitForDefault("LoginSMS13800000001", "0"));
    EXPECT_TRUE(DisplaySession::waitFor([&] { return !switchOn(); }));
    ASSERT_TRUE(session.stopClient());

    ASSERT_TRUE(session.start({"kelvamor://Main&FeedbackViewController"}));
    ASSERT_TRUE(session.waitForPixel({40, kSubmit.y()}, QColor(70, 140, 202), 12));
    ASSERT_TRUE(session.waitForStillScreen());
    session.click({160, 64 + 165});
    session.type("Great app & 100% useful");
    // The category sheet slides in over the foot of the screen, clear of the blinking cursor.
    const QRect foot(0, 400, 320, 168);
    ASSERT_TRUE(session.clickAndSettle({160, 64 + 62}, foot));
    // "缺陷反馈", just above the sheet's cancel; the sheet slides out.
    ASSERT_TRUE(session.clickAndSettle({160, 486}, foot));
    session.click(kSubmit);
    ASSERT_TRUE(session.waitForRequest("FeedBack"));
    const QVariantMap sent = session.requests("FeedBack").last();
    EXPECT_EQ(sent.value("content"), "Great app & 100% useful");
    EXPECT_EQ(sent.value("type"), "缺陷反馈");
    EXPECT_EQ(sent.value("num"), "13800000001");
}

} // namespace
