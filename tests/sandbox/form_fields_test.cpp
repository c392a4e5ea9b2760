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

TEST(FormDecoding, DecodesInOrder) {
    const struct {
        const char* name;
        QByteArray body;
        FormFields expected;
    } cases[] = {
        {"plain", "session=S&num=N&action=1", {{"session", "S"}, {"num", "N"}, {"action", "1"}}},
        {"empty", "", {}},
        {"plus is a space", "q=a+b", {{"q", "a b"}}},
        {"an encoded plus stays", "q=a%2Bb", {{"q", "a+b"}}},
        {"encoded separators", "q=%26%3D&r=1", {{"q", "&="}, {"r", "1"}}},
        {"encoded Chinese", "q=%E4%B8%AD%E6%96%87", {{"q", "中文"}}},
        {"raw Chinese", "q=中文", {{"q", "中文"}}},
        {"encoded key", "%E5%90%8D=x", {{"名", "x"}}},
        {"duplicates kept", "a=1&b=2&a=3", {{"a", "1"}, {"b", "2"}, {"a", "3"}}},
        {"no equals", "flag&a=1", {{"flag", ""}, {"a", "1"}}},
        {"empty value", "a=&b=", {{"a", ""}, {"b", ""}}},
        {"empty key", "=v", {{"", "v"}}},
        {"equals in value", "a=b=c", {{"a", "b=c"}}},
        {"empty items skipped", "&a=1&&b=2&", {{"a", "1"}, {"b", "2"}}},
        {"broken escapes kept",
         "q=100%&r=%zz&s=%4&t=%%41",
         {{"q", "100%"}, {"r", "%zz"}, {"s", "%4"}, {"t", "%A"}}},
        {"null text is text", "pass=(null)", {{"pass", "(null)"}}},
        {"byte order mark kept",
         "num=%EF%BB%BF13800000001&k=\xEF\xBB\xBFv",
         {{"num", QChar(0xFEFF) + QString("13800000001")}, {"k", QChar(0xFEFF) + QString("v")}}},
        {"bad UTF-8 replaced", "q=%FF1", {{"q", QChar(0xFFFD) + QString("1")}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormFields::parse(c.body), c.expected) << c.name;
}

TEST(FormFieldsLookup, FirstValueWinsAndMissingIsEmpty) {
    const FormFields f = FormFields::parse("a=1&a=2");
    EXPECT_EQ(f.value("a"), "1");
    EXPECT_EQ(f.values("a"), QStringList({"1", "2"}));
    EXPECT_FALSE(f.contains("b"));
    EXPECT_EQ(f.value("b"), QString());
}

} // namespace
