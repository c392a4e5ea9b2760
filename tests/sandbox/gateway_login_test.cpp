#include "SandboxTest.h"
#include "sandbox/SandboxServer.h"

namespace {

const QString kNonce = QStringLiteral("abcdefghijklmnop");

struct GatewayCase {
    const char* name;
    QString gatewayLine;
    HttpProbe::Fields fields; // after "session" and "num"
    bool accepted;
};

void PrintTo(const GatewayCase& c, std::ostream* os) {
    *os << c.name;
}

class GatewayLoginTest : public SandboxTest, public ::testing::WithParamInterface<GatewayCase> {};

TEST_P(GatewayLoginTest, LogsInTheGatewaysLine) {
    server.server().backend().setGatewayNumber(GetParam().gatewayLine);
    HttpProbe::Fields fields{{"session", ""}, {"num", ""}};
    fields += GetParam().fields;
    fields += HttpProbe::Fields{{"channelid", "2"}, {"versionid", "1.0"}, {"imei", "device"}};
    const QJsonObject reply = call("LoginQTWAP", fields);

    if (!GetParam().accepted) {
        EXPECT_NE(reply.value("result").toInteger(0), 0);
        EXPECT_FALSE(reply.value("msg").toString().isEmpty());
        EXPECT_FALSE(reply.contains("session"));
        return;
    }
    ASSERT_EQ(reply.value("result").toInteger(-1), 0);
    const QString line = clientDecrypt(reply.value("enc_line_id").toString(), kNonce);
    EXPECT_EQ(line, GetParam().gatewayLine);
    // The session is the line's: it passes the check with the decrypted number.
    EXPECT_EQ(call("StarLevel", {{"session", reply.value("session").toString()}, {"num", line}})
                  .value("result")
                  .toInteger(-1),
              0);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, GatewayLoginTest,
    ::testing::Values(
        GatewayCase{"firstUseNoNumberKnown",
                    "13800000001",
                    {{"nonce", kNonce}, {"enc_phonenum", clientEncrypt("", kNonce)}},
                    true},
        GatewayCase{"lineDecidesOverStoredNumber",
                    "13800000003",
                    {{"nonce", kNonce}, {"enc_phonenum", clientEncrypt("13800000001", kNonce)}},
                    true},
        GatewayCase{"gatewayDoesNotKnowTheLine",
                    "",
                    {{"nonce", kNonce}, {"enc_phonenum", clientEncrypt("13800000001", kNonce)}},
                    false},
        GatewayCase{"lineIsNoSubscriber",
                    "13999999999",
                    {{"nonce", kNonce}, {"enc_phonenum", clientEncrypt("13800000001", kNonce)}},
                    false},
        GatewayCase{"noNonce",
                    "13800000001",
                    {{"enc_phonenum", clientEncrypt("13800000001", kNonce)}},
                    false},
        GatewayCase{
            "numberUnderAnotherNonce",
            "13800000001",
            {{"nonce", kNonce}, {"enc_phonenum", clientEncrypt("13800000001", "zzzzzzzzzzzzzzzz")}},
            false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
