#include "SandboxTest.h"

namespace {

const QString kNonce = QStringLiteral("nonceofsixteenaa");
const QString kNumber = QStringLiteral("13800000002");
const QString kPassword = QStringLiteral("234567");

class ChangePasswordTest : public SandboxTest {
protected:
    QJsonObject change(const QString& session, const QString& number, const QString& oldPassword,
                       const QString& newPassword, bool newInClear = false) {
        return call(
            "ChangePassword",
            {{"session", session},
             {"num", kNumber},
             {"nonce", kNonce},
             {"enc_phonenum", clientEncrypt(number, kNonce)},
             {"enc_oldpassword", clientEncrypt(oldPassword, kNonce)},
             {"enc_newpassword", newInClear ? newPassword : clientEncrypt(newPassword, kNonce)}});
    }
};

TEST_F(ChangePasswordTest, NewPasswordReplacesTheOld) {
    const QString session = login(kNumber, kPassword);
    ASSERT_FALSE(session.isEmpty());
    EXPECT_EQ(resultOf(change(session, kNumber, kPassword, "987654")), 0);
    EXPECT_TRUE(login(kNumber, kPassword).isEmpty());
    EXPECT_FALSE(login(kNumber, "987654").isEmpty());
    // Other subscribers are untouched.
    EXPECT_FALSE(login("13800000001", "123456").isEmpty());
    // Chinese characters survive the round trip.
    EXPECT_EQ(resultOf(change(session, kNumber, "987654", QStringLiteral("密码密码12"))), 0);
    EXPECT_FALSE(login(kNumber, QStringLiteral("密码密码12")).isEmpty());
}

TEST_F(ChangePasswordTest, RefusalsLeaveThePasswordAsItWas) {
    const QString session = login(kNumber, kPassword);
    const struct {
        const char* why;
        QString number, oldPassword, newPassword;
    } cases[] = {
        {"wrong old password", kNumber, "111111", "987654"},
        {"new password too short", kNumber, kPassword, "98765"},
        {"new password empty", kNumber, kPassword, ""},
        {"new password too long", kNumber, kPassword, "9876543"},
        {"another subscriber's number", "13800000001", "123456", "987654"},
        {"new password in clear", kNumber, kPassword, "987654"},
    };
    for (const auto& c : cases) {
        const QJsonObject reply = change(session, c.number, c.oldPassword, c.newPassword,
                                         QString(c.why).endsWith("clear"));
        EXPECT_EQ(reply.value("result").toInteger(0), 1) << c.why;
        EXPECT_FALSE(reply.value("msg").toString().isEmpty()) << c.why;
    }
    EXPECT_FALSE(login(kNumber, kPassword).isEmpty());
    EXPECT_FALSE(login("13800000001", "123456").isEmpty());
    server.expireSessions(); // and a live session is needed
    EXPECT_EQ(resultOf(change(session, kNumber, kPassword, "987654")), 9999);
    EXPECT_FALSE(login(kNumber, kPassword).isEmpty());
}

} // namespace
