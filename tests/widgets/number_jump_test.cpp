#include "platform/foundation/Clock.h"
#include "widgets/NumberJump.h"
#include "widgets/TextLayer.h"

#include <gtest/gtest.h>

namespace {

TEST(NumberJump, CountsDownInProportionToTheTimeElapsed) {
    ns::ScopedManualClock time;
    TextLayer layer;
    NumberJump::jumpNumberWithDuration(&layer, 10, 10, 0);
    EXPECT_EQ(layer.string(), QStringLiteral("10"));
    time.clock.advance(0);
    EXPECT_EQ(layer.string(), QStringLiteral("9")); // 9.97 cut toward zero
    for (int ms = 250; ms < 10000; ms += 250) {
        time.clock.advance(250);
        const double shown = layer.string().toDouble();
        EXPECT_NEAR(shown, 10 - ms / 1000.0, 1.0) << ms;
    }
    EXPECT_TRUE(NumberJump::isJumping(&layer));
    time.clock.advance(300);
    EXPECT_EQ(layer.string(), QStringLiteral("0"));
    EXPECT_FALSE(NumberJump::isJumping(&layer));
    EXPECT_EQ(time.clock.pendingCount(), 0);
}

TEST(NumberJump, StepsAreQuickAtTheEndsAndSlowInTheMiddle) {
    ns::ScopedManualClock time;
    TextLayer layer;
    NumberJump::jumpNumberWithDuration(&layer, 10, 0, 1000);
    QList<qint64> changes;
    QString last = layer.string();
    for (int ms = 0; ms <= 10000; ++ms) {
        time.clock.advance(ms == 0 ? 0 : 1);
        if (layer.string() != last) {
            changes.append(time.clock.nowMs());
            last = layer.string();
        }
    }
    ASSERT_GE(changes.size(), 90);
    const qint64 early = changes[1] - changes[0];
    const qint64 middle = changes[changes.size() / 2 + 1] - changes[changes.size() / 2];
    EXPECT_NEAR(double(early), 30, 3);
    EXPECT_NEAR(double(middle), 136, 3);
    EXPECT_EQ(layer.string(), QStringLiteral("1000"));
}

TEST(NumberJump, CutsWhileCountingAndRoundsAtTheEnd) {
    const struct {
        int duration;
        float from;
        float to;
        const char* whileCounting;
        const char* atTheEnd;
    } cases[] = {{2, 9.7f, 9.7f, "9", "10"},
                 {1, 0, 2.5f, "0", "2"},
                 {1, 7, 7, "7", "7"},
                 // Zero seconds: every step on a later turn, then the last number.
                 {0, 0, 50, nullptr, "50"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " to " << c.to << " in " << c.duration);
        ns::ScopedManualClock time;
        TextLayer layer;
        NumberJump::jumpNumberWithDuration(&layer, c.duration, c.from, c.to);
        time.clock.advance(0);
        if (c.whileCounting) {
            EXPECT_EQ(layer.string(), QString::fromLatin1(c.whileCounting));
        }
        time.clock.advance(c.duration * 1000 + 1000);
        EXPECT_EQ(layer.string(), QString::fromLatin1(c.atTheEnd));
        EXPECT_FALSE(NumberJump::isJumping(&layer));
    }
}

TEST(NumberJump, LayersCountOnTheirOwn) {
    ns::ScopedManualClock time;
    TextLayer slow, fast;
    NumberJump::jumpNumberWithDuration(&slow, 10, 10, 0);
    NumberJump::jumpNumberWithDuration(&fast, 1, 0, 100);
    time.clock.advance(1500);
    EXPECT_EQ(fast.string(), QStringLiteral("100"));
    EXPECT_NEAR(slow.string().toDouble(), 8.5, 1.0);
    time.clock.advance(9000);
    EXPECT_EQ(slow.string(), QStringLiteral("0"));
}

TEST(NumberJump, ARestartReplacesTheCountAndADestroyedLayerStopsIt) {
    ns::ScopedManualClock time;
    auto* layer = new TextLayer;
    NumberJump::jumpNumberWithDuration(layer, 10, 10, 0);
    time.clock.advance(5000);
    NumberJump::jumpNumberWithDuration(layer, 1, 100, 200);
    EXPECT_EQ(layer->string(), QStringLiteral("100"));
    time.clock.advance(1100);
    EXPECT_EQ(layer->string(), QStringLiteral("200"));
    EXPECT_EQ(time.clock.pendingCount(), 0);

    NumberJump::jumpNumberWithDuration(layer, 10, 10, 0);
    time.clock.advance(100);
    delete layer;
    time.clock.advance(20000);
    EXPECT_EQ(time.clock.pendingCount(), 0);
    NumberJump::jumpNumberWithDuration(nullptr, 1, 0, 1);
}

} // namespace
