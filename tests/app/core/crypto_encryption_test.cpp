#include "app/categories/Encryption.h"
#include "app/categories/MD5.h"
#include "app/core/EncryptedPhoneNumber.h"
#include "app/core/PublicFunction.h"

#include <QSet>
#include <gtest/gtest.h>

// Expected texts were produced with the openssl command line, e.g.
//   K=$(printf %s "gKd3Ye9ZuH1nBc6Aabcdefghijklmnop" | openssl md5 -r | cut -d' ' -f1)
//   printf %s 13800000001 | openssl enc -aes-128-ecb -K $K -nosalt | xxd -p
namespace {

const QString kKey = QStringLiteral("gKd3Ye9ZuH1nBc6Aabcdefghijklmnop");

struct Vector {
    const char* name;
    QString plain;
    QString key;
    QString hex;
};

class Aes128Vectors : public testing::TestWithParam<Vector> {};

TEST_P(Aes128Vectors, EncryptsToTheFixedTextAndBack) {
    const Vector& v = GetParam();
    EXPECT_EQ(PublicFunction::cryptAES128WithMD5KEY(v.plain, v.key), v.hex);
    const QString back = PublicFunction::decryptAES128WithMD5KEY(v.hex, v.key);
    EXPECT_TRUE(!back.isNull() && back == v.plain);
}

INSTANTIATE_TEST_SUITE_P(
    Openssl, Aes128Vectors,
    testing::Values(Vector{"phone", "13800000001", kKey, "acdb85be5c10383e5a080ba0f9377513"},
                    // The empty text is one block of padding.
                    Vector{"empty", "", kKey, "2d215ae9a77bdf9196c2c8a24c2c2ad6"},
                    // Sixteen bytes get a whole block of padding: 64 digits.
                    Vector{"fullBlock", "0123456789abcdef", kKey,
                           "107633cc9a8a95503c1593fdf416abe22d215ae9a77bdf9196c2c8a24c2c2ad6"},
                    Vector{"utf8", QString::fromUtf8("密码123456"), kKey,
                           "4e2cfb2106f3805eb49876279dc10f4a"},
                    Vector{"webPrefix", "13912345678", "Tq4VbN8sWp2LmRx7zyxwvutsrqponmlk",
                           "cc0d9d1f655caff404155136e0a1f743"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Decrypt, AcceptsAnyCaseAndBlanksBetweenPairs) {
    for (const char* text :
         {"ACDB85BE5C10383E5A080BA0F9377513", "ac db 85 be 5c 10 38 3e 5a 08 0b a0 f9 37 75 13",
          " AcDb85be5c10383e5a080ba0f9377513 "})
        EXPECT_EQ(PublicFunction::decryptAES128WithMD5KEY(text, kKey), "13800000001") << text;
}

TEST(Decrypt, FailuresGiveNull) {
    const struct {
        const char* why;
        QString hex;
        QString key;
    } cases[] = {
        {"odd digit count", "acdb85be5c10383e5a080ba0f937751", kKey},
        {"not hexadecimal", "acdb85be5c10383e5a080ba0f93775zz", kKey},
        {"wrong key: bad padding", "acdb85be5c10383e5a080ba0f9377513",
         "gKd3Ye9ZuH1nBc6Azzzzzzzzzzzzzzzz"},
        {"ragged block", "acdb85be5c10383e5a080ba0f93775", kKey},
        {"empty text", "", kKey},
        {"decrypts to bytes that are not UTF-8", "f610931966995f4e3fd64a5065373a16", kKey},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(PublicFunction::decryptAES128WithMD5KEY(c.hex, c.key).isNull()) << c.why;
}

TEST(StringToByte, ReadsPairsAndRefusesTheRest) {
    EXPECT_EQ(PublicFunction::stringToByte("00ff7A a0"), QByteArray::fromHex("00ff7aa0"));
    const QByteArray empty = PublicFunction::stringToByte("");
    EXPECT_TRUE(!empty.isNull() && empty.isEmpty());
    for (const char* bad : {"0", "0g", "0x00", "\t00", "-1"})
        EXPECT_TRUE(PublicFunction::stringToByte(bad).isNull()) << bad;
}

TEST(RandomStr, UpperCaseLettersOfTheAskedLength) {
    EXPECT_EQ(PublicFunction::randomStr(0), "");
    EXPECT_EQ(PublicFunction::randomStr(-3), "");
    const QString s = PublicFunction::randomStr(400);
    ASSERT_EQ(s.size(), 400);
    QSet<QChar> seen;
    for (QChar c : s) {
        EXPECT_TRUE(c >= u'A' && c <= u'Z') << int(c.unicode());
        seen.insert(c);
    }
    // 400 draws missing more than 6 of 26 letters would mean a broken generator.
    EXPECT_GE(seen.size(), 20);
}

TEST(EncryptedPhoneNumber, EachRequestHasItsOwnNonce) {
    const EncryptedPhoneNumber a = EncryptedPhoneNumber::forRequest();
    const EncryptedPhoneNumber b = EncryptedPhoneNumber::forRequest();
    ASSERT_EQ(a.nonce().size(), 16);
    for (QChar c : a.nonce())
        EXPECT_TRUE(c >= u'a' && c <= u'z');
    EXPECT_EQ(a.keyString(), "gKd3Ye9ZuH1nBc6A" + a.nonce());
    EXPECT_NE(a.nonce(), b.nonce());
    EXPECT_NE(a.encrypt("13800000001"), b.encrypt("13800000001"));
    EXPECT_EQ(a.decrypt(a.encrypt("13800000001")), "13800000001");
    EXPECT_TRUE(b.decrypt(a.encrypt("13800000001")).isNull() ||
                b.decrypt(a.encrypt("13800000001")) != "13800000001");
    EXPECT_EQ(EncryptedPhoneNumber::forWebPage().keyString().left(16), "Tq4VbN8sWp2LmRx7");
}

TEST(Encryption, DigestsAes256AndBase64GiveKnownAnswers) {
    EXPECT_EQ(MD5::md5(""), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(MD5::md5(QString::fromUtf8("中国移动")), "A470D2E2E86A1D9DE396BB64161164FF");

    const QByteArray cipher = Encryption::AES256EncryptWithKey("hello", "secret");
    EXPECT_EQ(cipher.toHex(), "210ca09eb642ea37730c780a7e4304ec");
    EXPECT_EQ(Encryption::AES256DecryptWithKey(cipher, "secret"), "hello");
    EXPECT_TRUE(Encryption::AES256DecryptWithKey("short", "secret").isNull());
    // A key longer than 32 bytes is cut, not refused.
    EXPECT_EQ(Encryption::AES256EncryptWithKey("hello", "secret" + QString(40, u'x')).size(), 16);
    // An empty text decrypts to an empty success, not a failure.
    const QByteArray empty =
        Encryption::AES128DecryptWithMD5Key(Encryption::AES128EncryptWithMD5Key({}, kKey), kKey);
    EXPECT_TRUE(!empty.isNull() && empty.isEmpty());

    EXPECT_EQ(Encryption::base64encode(""), "");
    EXPECT_EQ(Encryption::base64encode(QString::fromUtf8("中文")), "5Lit5paH");
    EXPECT_EQ(Encryption::newStringInBase64FromData("f"), "Zg");
    EXPECT_EQ(Encryption::newStringInBase64FromData("fo"), "Zm8");
}

} // namespace
