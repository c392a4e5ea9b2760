#include "app/core/PublicFunction.h"
#include "app/screens/DefaultVC.h"
#include "app/screens/GuideViewController.h"
#include "platform/ui/Image.h"
#include "tests/app/login_harness.h"

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

TEST_F(GuideTest, ThreePagesOfTheTallScreen) {
    show(new ui::ViewController);
    auto* guide = static_cast<GuideViewController*>(
        ui::Storyboard::instantiateViewController("Main", "GuideViewController"));
    nav->pushViewController(guide, false);
    EXPECT_DOUBLE_EQ(guide->myScrollView()->contentSize().width(), 960.1);
    EXPECT_TRUE(guide->myScrollView()->isPagingEnabled());
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(guide->guide(i)->image(), ui::imageNamed(QStringLiteral("guideImage%1").arg(i)));
        EXPECT_FALSE(guide->guide(i)->image().isNull());
    }
    EXPECT_TRUE(guide->guide(4)->image().isNull());
}

} // namespace
