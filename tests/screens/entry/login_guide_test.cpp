#include "app/core/PublicFunction.h"
#include "screens/entry/DefaultVC.h"
#include "screens/entry/GuideViewController.h"
#include "tests/screens/entry/login_harness.h"

namespace {

using login_test::LoginHarness;
using Medium = ns::Reachability::Medium;

class GuideTest : public LoginHarness {};

TEST_F(GuideTest, ButtonLeadsToTheLogInScreenOnAnyNetworkAndOnlyOnce) {
    for (const Medium network : {Medium::WiFi, Medium::Cellular, Medium::None}) {
        SCOPED_TRACE(ns::Reachability::mediumName(network).toStdString());
        restart();
        setNetwork(network);
        tavrixConfig::setIsAutoLogin(true);
        PublicFunction::saveConfig(SandboxFixture::demoNumber(), "username");
        PublicFunction::saveConfig(SandboxFixture::demoPassword(), "password");
        show(new DefaultVC);
        ASSERT_TRUE(waitForTop("GuideViewController"));
        auto* guide = static_cast<GuideViewController*>(top());
        EXPECT_TRUE(nav->isNavigationBarHidden());
        guide->button()->sendActionsForControlEvents(ui::Control::TouchUpInside);
        ASSERT_TRUE(waitForTop("LoginViewController"));
        EXPECT_TRUE(tavrixConfig::isOpenGuideView());
        EXPECT_FALSE(nav->isNavigationBarHidden());
        EXPECT_TRUE(sandbox.requests().isEmpty()); // no log-in of any kind on the way
    }
}

} // namespace
