#include "SandboxTest.h"
#include "sandbox/SandboxServer.h"

namespace {

const QString kNonce = QStringLiteral("abcdefghijklmnop");

TEST_F(SandboxTest, GatewayLoginLogsInTheGatewaysLine) {
    const struct {
        const char* name;
        QString gatewayLine, storedNumber;
        bool sendsNonce;
        QString encryptedUnder; // the nonce the stored number is encrypted with
        bool accepted;
    } cases[] = {
        {"first use, no number known", "13800000001", "", true, kNonce, true},
        {"the line decides over the stored number", "13800000003", "13800000001", true, kNonce,
         true},
        {"the gateway does not know the line", "", "13800000001", true, kNonce, false},
        {"the line is no subscriber", "13999999999", "13800000001", true, kNonce, false},
        {"no nonce", "13800000001", "13800000001", false, kNonce, false},
        {"number under another nonce", "13800000001", "13800000001", true, "zzzzzzzzzzzzzzzz",
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.server().backend().setGatewayNumber(c.gatewayLine);
        HttpProbe::Fields fields{{"session", ""}, {"num", ""}};
        if (c.sendsNonce) fields.append({"nonce", kNonce});
        fields +=
            HttpProbe::Fields{{"enc_phonenum", clientEncrypt(c.storedNumber, c.encryptedUnder)},
                              {"channelid", "2"},
                              {"versionid", "1.0"},
                              {"imei", "device"}};
        const QJsonObject reply = call("LoginQTWAP", fields);
        if (!c.accepted) {
            EXPECT_NE(reply.value("result").toInteger(0), 0);
            EXPECT_FALSE(reply.value("msg").toString().isEmpty());
            EXPECT_FALSE(reply.contains("session"));
            continue;
        }
        ASSERT_EQ(resultOf(reply), 0);
        const QString line = clientDecrypt(reply.value("enc_line_id").toString(), kNonce);
        EXPECT_EQ(line, c.gatewayLine);
        // The session is the line's: it passes the check with the decrypted number.
        EXPECT_EQ(resultOf(call("StarLevel",
                                {{"session", reply.value("session").toString()}, {"num", line}})),
                  0);
    }
}

} // namespace
