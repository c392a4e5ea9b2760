#include "SandboxTest.h"
#include "sandbox/SandboxCipher.h"

#include <gtest/gtest.h>

using sandbox::SandboxCipher;

namespace {

const QString kNonce = QStringLiteral("qwertyuiopasdfgh");

struct PlainCase {
    const char* name;
    QString plain;
    int hexDigits;
};

void PrintTo(const PlainCase& c, std::ostream* os) {
    *os << c.name;
}

class CipherAgreement : public ::testing::TestWithParam<PlainCase> {};

TEST_P(CipherAgreement, MatchesTheClientBothWays) {
    const QString key = SandboxCipher::requestKeyString(kNonce);
    const QString ours = SandboxCipher::encrypt(GetParam().plain, key);
    EXPECT_EQ(ours, clientEncrypt(GetParam().plain, kNonce));
    EXPECT_EQ(ours.size(), GetParam().hexDigits);
    EXPECT_EQ(ours, ours.toLower());
    EXPECT_EQ(SandboxCipher::decrypt(clientEncrypt(GetParam().plain, kNonce), key),
              GetParam().plain);
}

INSTANTIATE_TEST_SUITE_P(Texts, CipherAgreement,
                         ::testing::Values(PlainCase{"empty", "", 32},
                                           PlainCase{"phoneNumber", "13800000001", 32},
                                           PlainCase{"fullBlock", "abcdefghijklmnop", 64},
                                           PlainCase{"chinese", QStringLiteral("密码12"), 32}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SandboxCipherDecrypt, AcceptsUpperCaseAndBlanks) {
    const QString key = SandboxCipher::requestKeyString(kNonce);
    QString spaced;
    const QString hex = clientEncrypt("13800000001", kNonce).toUpper();
    for (qsizetype i = 0; i < hex.size(); i += 2)
        spaced += hex.mid(i, 2) + u' ';
    EXPECT_EQ(SandboxCipher::decrypt(spaced, key), QStringLiteral("13800000001"));
}

TEST(SandboxCipherDecrypt, RefusesWhatIsNotACipherText) {
    const QString key = SandboxCipher::requestKeyString(kNonce);
    const QString good = clientEncrypt("13800000001", kNonce);
    const struct {
        const char* why;
        QString hex;
    } cases[] = {
        {"empty", ""},
        {"odd digit count", good.left(31)},
        {"not hex", QString(good).replace(0, 2, "zz")},
        {"not whole blocks", good + "00"},
        {"another nonce", clientEncrypt("13800000001", "zzzzzzzzzzzzzzzz")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SandboxCipher::decrypt(c.hex, key), std::nullopt) << c.why;
}

} // namespace
