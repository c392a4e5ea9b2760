#include "SandboxTest.h"
#include "sandbox/SandboxCipher.h"

#include <gtest/gtest.h>

using sandbox::SandboxCipher;

namespace {

const QString kNonce = QStringLiteral("qwertyuiopasdfgh");

TEST(SandboxCipher, MatchesTheClientBothWays) {
    const QString key = SandboxCipher::requestKeyString(kNonce);
    const std::pair<QString, int> cases[] = {// text, hexadecimal digits of its cipher text
                                             {"", 32},
                                             {"13800000001", 32},
                                             {"abcdefghijklmnop", 64},
                                             {QStringLiteral("密码12"), 32}};
    for (const auto& [plain, digits] : cases) {
        SCOPED_TRACE(plain.toStdString());
        const QString ours = SandboxCipher::encrypt(plain, key);
        EXPECT_EQ(ours, clientEncrypt(plain, kNonce));
        EXPECT_EQ(ours.size(), digits);
        EXPECT_EQ(ours, ours.toLower());
        EXPECT_EQ(SandboxCipher::decrypt(clientEncrypt(plain, kNonce), key), plain);
    }
}

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
