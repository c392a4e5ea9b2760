#include "app/core/PublicFunction.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(ChangeFlowUnit, WritesOneLetterUnits) {
    const struct {
        qint64 kb;
        const char* integer;
        const char* decimal;
    } cases[] = {{0, "0K", "0K"},
                 {-5, "-5K", "-5K"},
                 {512, "512K", "512K"},
                 {1023, "1023K", "1023K"},
                 {1024, "1M", "1.00M"},
                 {1536, "1M", "1.50M"},
                 {20480, "20M", "20.00M"},
                 {51200, "50M", "50.00M"},
                 {153600, "150M", "150.00M"},
                 // The single-precision quotient rounds up while the unit stays "M".
                 {1048575, "1023M", "1024.00M"},
                 {1048576, "1G", "1.00G"},
                 {1572864, "1G", "1.50G"},
                 {5LL * 1024 * 1048576, "5120G", "5120.00G"}};
    for (const auto& c : cases) {
        EXPECT_EQ(PublicFunction::changeFlowUnit(c.kb, true), QString::fromUtf8(c.integer)) << c.kb;
        EXPECT_EQ(PublicFunction::changeFlowUnit(c.kb, false), QString::fromUtf8(c.decimal))
            << c.kb;
    }
}

QVariantMap recommended() {
    return {{"unit", "102400"},        {"productId", 42},   {"desc", "每月 100M"},
            {"productName", "流量包"}, {"marketId", "M-7"}, {"fee", 10}};
}

QVariantMap plain() {
    return {{"freesource", 1572864},     {"productshortid", "77abc"}, {"desc1", "夜间包"},
            {"productname", "夜间流量"}, {"marketid", 9001},          {"fee", "5.5"}};
}

TEST(FlowProductRecord, ReadsTheKeySetItIsTold) {
    const QVariantMap r = recommended();
    EXPECT_EQ(PublicFunction::getFlowSize(r, true), 102400);
    EXPECT_EQ(PublicFunction::getFlowProductId(r, true), 42);
    EXPECT_EQ(PublicFunction::getFlowProductDesc(r, true), QStringLiteral("每月 100M"));
    EXPECT_EQ(PublicFunction::getFlowProductName(r, true), QStringLiteral("流量包"));
    EXPECT_EQ(PublicFunction::getFlowMarketId(r, true), QStringLiteral("M-7"));
    EXPECT_EQ(PublicFunction::getFlowProductFee(r), QStringLiteral("10元"));
    EXPECT_EQ(PublicFunction::getFlowProductLevel(r, true), QStringLiteral("10元/月100M"));
    // Read with the other set, the same record has no size and no id.
    EXPECT_EQ(PublicFunction::getFlowSize(r, false), 0);
    EXPECT_EQ(PublicFunction::getFlowProductId(r, false), 0);

    const QVariantMap p = plain();
    EXPECT_EQ(PublicFunction::getFlowSize(p, false), 1572864);
    EXPECT_EQ(PublicFunction::getFlowProductId(p, false), 77); // leading digits of the text
    EXPECT_EQ(PublicFunction::getFlowMarketId(p, false), QStringLiteral("9001"));
    // Levels always use the whole-number form.
    EXPECT_EQ(PublicFunction::getFlowProductLevel(p, false), QStringLiteral("5.5元/月1G"));
}

// Sizes and fees a hostile or careless server may send, as each reader gives them on.
TEST(FlowProductRecord, HostileSizesAndFeesStayBounded) {
    const struct {
        QVariant unit, fee;
        qint64 size;
        const char* level;
        const char* fee_text;
    } cases[] = {
        {std::numeric_limits<qint64>::max(), 9.9, qint64(1) << 50, "9.9元/月1073741824G", "9.9元"},
        {std::numeric_limits<qint64>::min(), 33.3, -(qint64(1) << 50),
         "33.3元/月-1125899906842624K", "33.3元"},
        {-1, 12.3, -1, "12.3元/月-1K", "12.3元"},
        {1e300, 0.5, qint64(1) << 50, "0.5元/月1073741824G", "0.5元"},
        {"NaN", "inf", 0, "inf元/月0K", "inf元"},
        {"2048 MB", 1e20, 2048, "1e+20元/月2M", "1e+20元"},
        {QVariantList{1024}, QVariantMap{{"fee", 1}}, 0, "元/月0K", ""},
    };
    for (const auto& c : cases) {
        const QVariantMap record = {{"unit", c.unit}, {"fee", c.fee}};
        SCOPED_TRACE(c.level);
        EXPECT_EQ(PublicFunction::getFlowSize(record, true), c.size);
        EXPECT_EQ(PublicFunction::getFlowProductLevel(record, true), QString::fromUtf8(c.level));
        EXPECT_EQ(PublicFunction::getFlowProductFee(record), QString::fromUtf8(c.fee_text));
    }
}

TEST(FlowProductRecord, MissingOrMistypedFieldsGiveEmptyTexts) {
    const QVariantMap odd = {
        {"desc", QVariantList{1, 2}}, {"productName", QVariantMap{}}, {"unit", "abc"}};
    EXPECT_EQ(PublicFunction::getFlowProductDesc(odd, true), QString(""));
    EXPECT_EQ(PublicFunction::getFlowProductName(odd, true), QString(""));
    EXPECT_EQ(PublicFunction::getFlowMarketId(odd, true), QString(""));
    EXPECT_EQ(PublicFunction::getFlowProductFee(odd), QString(""));
    EXPECT_EQ(PublicFunction::getFlowSize(odd, true), 0);
    EXPECT_FALSE(PublicFunction::getFlowProductDesc({}, false).isNull());
}

} // namespace
