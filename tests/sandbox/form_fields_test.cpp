#include "sandbox/FormFields.h"

#include <gtest/gtest.h>

using sandbox::FormFields;

namespace sandbox {
void PrintTo(const FormFields& fields, std::ostream* os) {
    for (const auto& [key, value] : fields.items())
        *os << '[' << key.toStdString() << '=' << value.toStdString() << ']';
}
} // namespace sandbox

namespace {

struct DecodeCase {
    const char* name;
    QByteArray body;
    FormFields expected;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.name;
}

class FormDecoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(FormDecoding, DecodesInOrder) {
    EXPECT_EQ(FormFields::parse(GetParam().body), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, FormDecoding,
    ::testing::Values(
        DecodeCase{
            "plain", "session=S&num=N&action=1", {{"session", "S"}, {"num", "N"}, {"action", "1"}}},
        DecodeCase{"empty", "", {}}, DecodeCase{"plusIsSpace", "q=a+b", {{"q", "a b"}}},
        DecodeCase{"encodedPlusStays", "q=a%2Bb", {{"q", "a+b"}}},
        DecodeCase{"encodedSeparators", "q=%26%3D&r=1", {{"q", "&="}, {"r", "1"}}},
        DecodeCase{"encodedChinese", "q=%E4%B8%AD%E6%96%87", {{"q", "中文"}}},
        DecodeCase{"rawChinese", "q=中文", {{"q", "中文"}}},
        DecodeCase{"encodedKey", "%E5%90%8D=x", {{"名", "x"}}},
        DecodeCase{"duplicatesKept", "a=1&b=2&a=3", {{"a", "1"}, {"b", "2"}, {"a", "3"}}},
        DecodeCase{"noEquals", "flag&a=1", {{"flag", ""}, {"a", "1"}}},
        DecodeCase{"emptyValue", "a=&b=", {{"a", ""}, {"b", ""}}},
        DecodeCase{"emptyKey", "=v", {{"", "v"}}},
        DecodeCase{"equalsInValue", "a=b=c", {{"a", "b=c"}}},
        DecodeCase{"emptyItemsSkipped", "&a=1&&b=2&", {{"a", "1"}, {"b", "2"}}},
        DecodeCase{"brokenEscapesKept",
                   "q=100%&r=%zz&s=%4&t=%%41",
                   {{"q", "100%"}, {"r", "%zz"}, {"s", "%4"}, {"t", "%A"}}},
        DecodeCase{"nullTextIsText", "pass=(null)", {{"pass", "(null)"}}},
        DecodeCase{
            "byteOrderMarkKept",
            "num=%EF%BB%BF13800000001&k=\xEF\xBB\xBFv",
            {{"num", QString(QChar(0xFEFF)) + "13800000001"}, {"k", QString(QChar(0xFEFF)) + "v"}}},
        DecodeCase{"badUtf8Replaced", "q=%FF1", {{"q", QString(QChar(0xFFFD)) + "1"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormFieldsLookup, FirstValueWinsAndMissingIsEmpty) {
    const FormFields f = FormFields::parse("a=1&a=2");
    EXPECT_EQ(f.value("a"), "1");
    EXPECT_EQ(f.values("a"), QStringList({"1", "2"}));
    EXPECT_FALSE(f.contains("b"));
    EXPECT_EQ(f.value("b"), QString());
}

} // namespace
