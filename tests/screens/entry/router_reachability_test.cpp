#include "app/core/NetworkReachability.h"
#include "app/core/PublicFunction.h"
#include "platform/foundation/NotificationCenter.h"

#include <QObject>
#include <gtest/gtest.h>

namespace {

using R = ns::Reachability;

struct NetworkReachabilityTest : testing::Test {
    void TearDown() override { R::shared().setMediumOverride(std::nullopt); }
};

TEST_F(NetworkReachabilityTest, StatusFromFlags) {
    const auto internet = NetworkReachability::reachabilityForInternetConnection();
    const auto local = NetworkReachability::reachabilityForLocalWiFi();
    const struct {
        const char* what;
        R::Flags flags;
        NetworkStatus internet;
        NetworkStatus local;
    } cases[] = {
        {"nothing", 0, NotReachable, NotReachable},
        {"reachable", R::Reachable, ReachableViaWiFi, NotReachable},
        {"reachable, direct", R::Reachable | R::IsDirect, ReachableViaWiFi, ReachableViaWiFi},
        {"direct but not reachable", R::IsDirect, NotReachable, NotReachable},
        {"WWAN", R::Reachable | R::IsWWAN, ReachableViaWWAN, NotReachable},
        {"WWAN wins over connection rules", R::Reachable | R::IsWWAN | R::ConnectionRequired,
         ReachableViaWWAN, NotReachable},
        {"on traffic only", R::Reachable | R::ConnectionOnTraffic, NotReachable, NotReachable},
        {"connection required", R::Reachable | R::ConnectionRequired, ReachableViaWiFi,
         NotReachable},
        {"transient + required", R::Reachable | R::TransientConnection | R::ConnectionRequired,
         NotReachable, NotReachable},
        {"transient + required + local address",
         R::Reachable | R::TransientConnection | R::ConnectionRequired | R::IsLocalAddress,
         NotReachable, NotReachable},
        {"transient", R::Reachable | R::TransientConnection, ReachableViaWiFi, NotReachable},
        {"local address only", R::Reachable | R::IsLocalAddress, ReachableViaWiFi, NotReachable},
        {"intervention", R::Reachable | R::InterventionRequired, NotReachable, NotReachable},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(internet->networkStatusForFlags(c.flags), c.internet) << c.what;
        EXPECT_EQ(local->networkStatusForFlags(c.flags), c.local) << c.what;
    }
}

TEST_F(NetworkReachabilityTest, LocalRuleNeedsTheLocalObjectNotJustItsKey) {
    const auto lookalike = NetworkReachability::reachabilityWithHostName("LocalWiFiConnection");
    ASSERT_TRUE(lookalike);
    EXPECT_TRUE(lookalike->isEqual(*NetworkReachability::reachabilityForLocalWiFi()));
    EXPECT_EQ(lookalike->networkStatusForFlags(R::Reachable), ReachableViaWiFi);
}

TEST_F(NetworkReachabilityTest, NotifierPostsWithItselfUntilStoppedOrGone) {
    R::shared().setMediumOverride(R::Medium::WiFi);
    QObject observer;
    QList<const QObject*> senders;
    ns::NotificationCenter::defaultCenter().addObserver(
        &observer, kReachabilityChangedNotification, nullptr,
        [&](const ns::Notification& n) { senders.append(n.object); });

    auto watched = NetworkReachability::reachabilityForInternetConnection();
    EXPECT_TRUE(watched->startNotifier());
    R::shared().setMediumOverride(R::Medium::None);
    ASSERT_EQ(senders.size(), 1);
    EXPECT_EQ(senders[0], watched.get());

    watched->stopNotifier();
    R::shared().setMediumOverride(R::Medium::Cellular);
    EXPECT_EQ(senders.size(), 1);

    watched->startNotifier();
    watched.reset();
    R::shared().setMediumOverride(R::Medium::WiFi);
    EXPECT_EQ(senders.size(), 1);
    EXPECT_EQ(R::shared().watcherCount(), 0);
}

} // namespace
