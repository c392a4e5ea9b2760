#include <gtest/gtest.h>

#include "app/categories/BFDicUtils.h"
#include "app/categories/BFStringUtils.h"
#include "app/categories/NoCrash.h"
#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/foundation/Json.h"

#include <cmath>

namespace {

TEST(Utilities, formatOfNetworkFlow) {
    const std::pair<double, const char*> cases[] = {
        {1048576, "1.00GB"},
        {1024, "1.00MB"},
        {512, "512.00KB"},
        {0, "0.00KB"},
        {1023.99, "1023.99KB"},
        {1536, "1.50MB"},
        {1048575, "1024.00MB"},
        {3.5 * 1048576, "3.50GB"},
        {-5, "-5.00KB"},
        {std::nan(""), ""},
        // Past any real amount: written as the largest figure a reply can give, never "inf".
        {1e300, "1073741824.00GB"},
        {INFINITY, "1073741824.00GB"},
        {-INFINITY, "-1125899906842624.00KB"},
    };
    for (const auto& [kb, text] : cases)
        EXPECT_EQ(tavrixConfig::formatOfNetworkFlow(kb), text) << kb;
}

TEST(Utilities, dictionaryReadersNeverHandBackTheWrongType) {
    const QVariant reply = ns::Json::parse(R"({
        "text": "abc", "empty": "", "int": 12, "real": 12.5, "textnum": "42abc", "yes": "YES",
        "true": true, "false": false, "zero": 0, "null": null, "list": [1, 2], "dict": {"a": 1},
        "millis": 1733472000123
    })");
    struct Case {
        const char* key;
        QString string;
        qint64 integer;
        bool boolean;
        bool isDict;
        bool isList;
    };
    const Case cases[] = {
        {"text", "abc", 0, false, false, false},
        {"empty", "", 0, false, false, false},
        {"int", "12", 12, true, false, false},
        {"real", "12.5", 12, true, false, false},
        {"textnum", "42abc", 42, true, false, false},
        {"yes", "YES", 0, true, false, false},
        {"true", "1", 1, true, false, false},
        {"false", "0", 0, false, false, false},
        {"zero", "0", 0, false, false, false},
        {"null", "", 0, false, false, false},
        {"list", "", 0, false, false, true},
        {"dict", "", 0, false, true, false},
        {"millis", "1733472000123", 1733472000123LL, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(BFDicUtils::getString(reply, c.key), c.string);
        EXPECT_EQ(BFDicUtils::getInt(reply, c.key), c.integer);
        EXPECT_EQ(BFDicUtils::getBool(reply, c.key), c.boolean);
        EXPECT_EQ(!BFDicUtils::getDic(reply, c.key).isEmpty(), c.isDict);
        EXPECT_EQ(!BFDicUtils::getList(reply, c.key).isEmpty(), c.isList);
    }
    // A missing key reads as nothing.
    EXPECT_TRUE(BFDicUtils::getString(reply, "absent").isNull());
    EXPECT_EQ(BFDicUtils::getInt(reply, "absent"), 0);
}

TEST(Utilities, dictionaryReadersOnThingsThatAreNotDictionaries) {
    const QVariant notDicts[] = {QVariant(), ns::Json::parse("[1,2]"), QVariant(QString("x")),
                                 ns::Json::parse("{}"), QVariant(5)};
    for (const QVariant& v : notDicts) {
        EXPECT_TRUE(BFDicUtils::isNull(v, "k"));
        EXPECT_EQ(BFDicUtils::getString(v, "k"), "");
        EXPECT_FALSE(BFDicUtils::getString(v, "k").isNull());
        EXPECT_EQ(BFDicUtils::getInt(v, "k"), 0);
        EXPECT_FALSE(BFDicUtils::getBool(v, "k"));
        EXPECT_TRUE(BFDicUtils::getDic(v, "k").isEmpty());
        EXPECT_TRUE(BFDicUtils::getList(v, "k").isEmpty());
    }
    // A reply that is not an object never reads as one.
    EXPECT_EQ(PublicFunction::dicFromJSONWithData("[1]").typeId(), QMetaType::QVariantList);
    EXPECT_FALSE(PublicFunction::dicFromJSONWithData("<html>").isValid());
    EXPECT_TRUE(BFDicUtils::isNull(ns::Json::parse(R"({"a":1})"), ""));
    EXPECT_FALSE(BFDicUtils::isNull(ns::Json::parse(R"({"a":1})"), "b"));
}

TEST(Utilities, objectAtIndexNoCrash) {
    const QVariantList list = {"a", "b"};
    EXPECT_FALSE(NoCrash::objectAtIndexNoCrash(list, -1).isValid());
    EXPECT_FALSE(NoCrash::objectAtIndexNoCrash(list, 2).isValid());
    EXPECT_EQ(NoCrash::objectAtIndexNoCrash(list, 1).toString(), "b");
    const QList<int> ints = {7};
    EXPECT_EQ(NoCrash::objectAtIndexNoCrash(ints, 1), nullptr);
    ASSERT_NE(NoCrash::objectAtIndexNoCrash(ints, 0), nullptr);
    EXPECT_EQ(*NoCrash::objectAtIndexNoCrash(ints, 0), 7);
}

TEST(Utilities, secondaryNumberTimes) {
    EXPECT_EQ(PublicFunction::getSecureNumTime("0800", "2300"), "08:00-23:00");
    EXPECT_EQ(PublicFunction::getSecureNumTime(QString(), "2300"), "08:00-23:00");
    EXPECT_EQ(PublicFunction::getSecureNumTime("0", "2300"), "0-23:00");
    EXPECT_EQ(PublicFunction::getSecureNumTime2("0930"), "09:30");
    EXPECT_EQ(PublicFunction::getSecureNumTime2(QString()), "00:01");
    EXPECT_EQ(PublicFunction::getSecureNumTime2(""), "");
    EXPECT_EQ(PublicFunction::getSecureNumTime2("9"), "9");
    EXPECT_EQ(PublicFunction::changeSecureNumTime("08:00-23:00"), "0800-2300");
}

TEST(Utilities, dateTexts) {
    EXPECT_EQ(PublicFunction::changeDisplayTime("2024-03-05 17:45:12"), "2024-03-05");
    EXPECT_TRUE(PublicFunction::changeDisplayTime("yesterday").isEmpty());
    // A date held in a float would land minutes away; these must be exact.
    const qint64 ms = QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58)).toMSecsSinceEpoch();
    EXPECT_EQ(
        PublicFunction::getDateStringByFormateString("yyyy-MM-dd HH:mm:ss", QString::number(ms)),
        "2024-12-31 23:59:58");
    EXPECT_EQ(PublicFunction::getDateWithStringFormat("yyyy").size(), 4);
}

TEST(Utilities, coloursFromHexCodes) {
    struct Case {
        const char* code;
        QColor expected;
    };
    const Case cases[] = {
        {"#fff", QColor(255, 255, 255, 255)},     {"000000", QColor(0, 0, 0, 255)},
        {"#4682ca", QColor(70, 130, 202, 255)},   {"4682ca80", QColor(70, 130, 202, 128)},
        {"##abc", QColor(0xaa, 0xbb, 0xcc, 255)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PublicFunction::colorFromHexCode(c.code).rgba(), c.expected.rgba()) << c.code;
    EXPECT_TRUE(PublicFunction::colorFromHexCode("zz").isValid());
}

TEST(Utilities, textLengthCountsAsciiAsHalves) {
    const std::pair<QString, int> cases[] = {
        {"", 0}, {"a", 1}, {"ab", 1}, {"abc", 2}, {"中", 1}, {"中文", 2}, {"a中", 2}, {"一", 1},
    };
    for (const auto& [text, n] : cases)
        EXPECT_EQ(BFStringUtils::length(text), n) << text.toStdString();
}

TEST(Utilities, emojiDetection) {
    const std::pair<QString, bool> cases[] = {
        {"1", false},        {QString("1") + QChar(0x20E3), true},
        {"😀", true},         {"abc ☀ def", true},
        {QChar(0xA9), true}, {"中文", false},
        {"𠀀", false}, // a supplementary ideograph, not an emoji
        {"", false},
    };
    for (const auto& [text, yes] : cases)
        EXPECT_EQ(BFStringUtils::stringContainsEmoji(text), yes) << text.toStdString();
}

TEST(Utilities, uuidIsThirtyTwoUpperCaseDigitsAndNew) {
    const QString id = BFStringUtils::getUUID();
    EXPECT_EQ(id.size(), 32);
    EXPECT_EQ(id, id.toUpper());
    EXPECT_FALSE(id.contains('-'));
    EXPECT_NE(id, BFStringUtils::getUUID());
}

} // namespace

TEST(Utilities, systemVersionIsReadAsTheLeadingNumber) {
    // The stand-in declares a system from 7 on: every animation springs.
    EXPECT_TRUE(PublicFunction::isIOS7OrLater());
    EXPECT_GE(PublicFunction::getVersionNumberOfDeviceSystem(), 7.0f);
    const struct {
        const char* text;
        float number;
        bool ios7OrLater;
    } cases[] = {
        {"7.0", 7.0f, true},   {"7.1.2", 7.1f, true},  {"10.3", 10.3f, true},
        {" 8", 8.0f, true},    {"6.1.4", 6.1f, false}, {"6.99", 6.99f, false},
        {"beta", 0.0f, false}, {"-7", -7.0f, false},   {".5", 0.5f, false},
    };
    for (const auto& c : cases) {
        ns::DeviceInfo::setSystemVersion(c.text);
        EXPECT_FLOAT_EQ(PublicFunction::getVersionNumberOfDeviceSystem(), c.number) << c.text;
        EXPECT_EQ(PublicFunction::isIOS7OrLater(), c.ios7OrLater) << c.text;
    }
    ns::DeviceInfo::setSystemVersion({});
    EXPECT_EQ(ns::DeviceInfo::systemVersion(), QStringLiteral("7.1"));
}
