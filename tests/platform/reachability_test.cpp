#include "platform/foundation/Reachability.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using ns::Reachability;
using Medium = Reachability::Medium;

// Leaves the process-wide object as detection would have it.
struct ReachabilityTest : testing::Test {
    void TearDown() override {
        Reachability::shared().setMediumOverride(std::nullopt);
        qunsetenv("TAVRIX_NETWORK");
    }
};

TEST_F(ReachabilityTest, EnvironmentChoosesTheMedium) {
    const struct {
        const char* value;
        Medium medium;
    } cases[] = {{"wifi", Medium::WiFi},
                 {"cellular", Medium::Cellular},
                 {"none", Medium::None},
                 {" Cellular ", Medium::Cellular}};
    for (const auto& c : cases) {
        qputenv("TAVRIX_NETWORK", c.value);
        EXPECT_EQ(Reachability::shared().medium(), c.medium) << c.value;
    }
}

TEST_F(ReachabilityTest, OverrideBeatsTheEnvironmentAndSignalsOnlyRealChanges) {
    qputenv("TAVRIX_NETWORK", "wifi");
    Reachability& r = Reachability::shared();
    r.startWatching();
    QSignalSpy spy(&r, &Reachability::changed);
    r.setMediumOverride(Medium::WiFi); // same as before: no change
    EXPECT_EQ(spy.count(), 0);
    r.setMediumOverride(Medium::None);
    EXPECT_EQ(r.medium(), Medium::None);
    EXPECT_EQ(spy.count(), 1);
    r.setMediumOverride(std::nullopt); // back to the environment's "wifi"
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(r.medium(), Medium::WiFi);
    r.stopWatching();
}

TEST_F(ReachabilityTest, PollNoticesEnvironmentChangesWhileWatched) {
    ns::ScopedManualClock clock;
    qputenv("TAVRIX_NETWORK", "wifi");
    Reachability& r = Reachability::shared();
    r.startWatching();
    QSignalSpy spy(&r, &Reachability::changed);
    qputenv("TAVRIX_NETWORK", "cellular");
    clock.clock.advance(10000);
    EXPECT_EQ(spy.count(), 1);
    r.stopWatching();
    qputenv("TAVRIX_NETWORK", "none");
    clock.clock.advance(10000);
    EXPECT_EQ(spy.count(), 1); // nobody watches: no polling
    EXPECT_EQ(clock.clock.pendingCount(), 0);
}

} // namespace
