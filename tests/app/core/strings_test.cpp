#include <gtest/gtest.h>

#include "app/categories/BFStringUtils.h"

namespace {

TEST(BFStringUtils, lengthCountsAsciiAsHalves) {
    const std::pair<QString, int> cases[] = {
        {"", 0},
        {"a", 1},
        {"ab", 1},
        {"abc", 2},
        {QString::fromUtf8("中"), 1},
        {QString::fromUtf8("中文"), 2},
        {QString::fromUtf8("a中"), 2},
        {QString::fromUtf8("一"), 1},
    };
    for (const auto& [text, n] : cases) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(BFStringUtils::length(text), n);
    }
}

TEST(BFStringUtils, emojiDetection) {
    const std::pair<QString, bool> cases[] = {
        {"1", false},
        {QString("1") + QChar(0x20E3), true},
        {QString::fromUtf8("😀"), true},
        {QString::fromUtf8("abc ☀ def"), true},
        {QString(QChar(0x00A9)), true},
        {QString::fromUtf8("中文"), false},
        {QString::fromUtf8("𠀀"), false}, // a supplementary ideograph, not an emoji
        {"", false},
    };
    for (const auto& [text, yes] : cases) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(BFStringUtils::stringContainsEmoji(text), yes);
    }
}

TEST(BFStringUtils, uuidIsThirtyTwoUpperCaseDigitsAndNew) {
    const QString id = BFStringUtils::getUUID();
    EXPECT_EQ(id.size(), 32);
    EXPECT_EQ(id, id.toUpper());
    EXPECT_FALSE(id.contains('-'));
    EXPECT_NE(id, BFStringUtils::getUUID());
}

} // namespace
