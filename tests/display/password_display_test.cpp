#include "tests/display/DisplaySession.h"

namespace {

TEST_F(DisplayTest, ANewPasswordIsTypedSentAndKeptForTheNextLogIn) {
    session.rememberSubscriber();
    ASSERT_TRUE(session.start({"kelvamor://Main&PasswordModificationViewController"}));
    ASSERT_TRUE(session.waitForPixel({40, 282}, QColor(70, 140, 202)));
    ASSERT_TRUE(session.waitForStillScreen());
    session.click({205, 110}); // the old password
    session.type("123456");
    session.key("Tab"); // on to the new one
    session.type("654321");
    session.click({205, 218}); // its confirmation
    session.type("654321");
    session.click({160, 282});
    ASSERT_TRUE(session.waitForRequest("ChangePassword"));
    EXPECT_TRUE(session.waitForDefault("password", "654321"));
}

} // namespace
