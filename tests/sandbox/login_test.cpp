#include "SandboxTest.h"
#include "platform/foundation/Clock.h"
#include "sandbox/SandboxServer.h"

namespace {

struct LoginCase {
    const char* name;
    QString number;
    QString password;
    qint64 result;
};

void PrintTo(const LoginCase& c, std::ostream* os) {
    *os << c.name;
}

class LoginTest : public SandboxTest, public ::testing::WithParamInterface<LoginCase> {};

TEST_P(LoginTest, AnswersSessionOrWrongPair) {
    const QJsonObject reply = call("Login", {{"num", GetParam().number},
                                             {"pass", GetParam().password},
                                             {"channelid", "2"},
                                             {"session", ""}});
    EXPECT_EQ(resultOf(reply), GetParam().result);
    EXPECT_TRUE(reply.contains("msg"));
    // A session on success only; a message saying why otherwise.
    EXPECT_EQ(reply.value("session").toString().isEmpty(), GetParam().result != 0);
    EXPECT_TRUE(GetParam().result == 0 || !reply.value("msg").toString().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, LoginTest,
    ::testing::Values(LoginCase{"right", "13800000001", "123456", 0},
                      LoginCase{"otherSubscriber", "13800000002", "234567", 0},
                      LoginCase{"blanksAroundNumber", " 13800000001 ", "123456", 0},
                      LoginCase{"wrongPassword", "13800000001", "654321", 19999},
                      LoginCase{"passwordWithBlank", "13800000001", "123456 ", 19999},
                      LoginCase{"unknownNumber", "13900000000", "123456", 19999},
                      LoginCase{"nothing", "", "", 19999},
                      LoginCase{"quoteInNumber", "' OR '1'='1", "' OR '1'='1", 19999}),
    [](const auto& info) { return std::string(info.param.name); });

struct SessionCase {
    const char* name;
    bool knownSession;
    QString num;
    qint64 result;
};

void PrintTo(const SessionCase& c, std::ostream* os) {
    *os << c.name;
}

class SessionCheckTest : public SandboxTest, public ::testing::WithParamInterface<SessionCase> {};

TEST_P(SessionCheckTest, GuardsSessionInterfaces) {
    const QString session = login("13800000002", "234567");
    ASSERT_FALSE(session.isEmpty());
    const QString sent = GetParam().knownSession ? session : QStringLiteral("0123456789abcdef");
    const QJsonObject reply = call("StarLevel", {{"session", sent}, {"num", GetParam().num}});
    EXPECT_EQ(resultOf(reply), GetParam().result);
    EXPECT_TRUE(GetParam().result != 9999 || !reply.value("msg").toString().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, SessionCheckTest,
    ::testing::Values(SessionCase{"valid", true, "13800000002", 0},
                      SessionCase{"numberAsTypedWithBlanks", true, " 13800000002", 0},
                      SessionCase{"noNumberSent", true, "", 0},
                      SessionCase{"anotherNumber", true, "13800000001", 9999},
                      SessionCase{"unknownSession", false, "13800000002", 9999}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SandboxTest, EveryInterfaceWantsALiveSession) {
    const QString ended = login("13800000001", "123456");
    server.expireSessions();
    for (const char* name :
         {"StarLevel", "Balance", "GPRSDaily", "GPRSMonthly", "FlowBill", "FlowProduct",
          "FlowRecommend", "Order", "FreeResourceForOtherList", "PersonalInfo", "Search",
          "LoginSMS", "FeedBack", "VersionCheck", "MainBillInfo", "Advert", "MainInfoConfList"}) {
        // Missing, empty, unknown and ended.
        EXPECT_EQ(resultOf(call(name, {{"num", "13800000001"}, {"channel", "2"}})), 9999) << name;
        for (const QString& session : {QString(), QStringLiteral("not-a-session"), ended})
            EXPECT_EQ(resultOf(call(
                          name, {{"session", session}, {"num", "13800000001"}, {"channel", "2"}})),
                      9999)
                << name << " " << session.toStdString();
    }
}

TEST(SessionLifetime, RunsOutAfterTheTimeToLiveUnused) {
    ns::ScopedManualClock time;
    SandboxFixture server;
    server.server().backend().sessions().setTtlSeconds(60);
    HttpProbe http;
    const QString session = server.signIn("13800000001");
    // Use keeps it alive; once expired it stays expired.
    for (const auto& [seconds, result] : {std::pair{59, 0}, {59, 0}, {60, 9999}, {0, 9999}}) {
        time.clock.advanceSeconds(seconds);
        const HttpProbe::Result r =
            http.post(server.interfaceUrl("StarLevel"),
                      HttpProbe::form({{"session", session}, {"num", "13800000001"}}));
        EXPECT_EQ(r.json().value("result").toInteger(-1), result) << seconds;
        if (result) {
            EXPECT_EQ(r.json().value("msg").toString(), "登录已超时，请重新登录");
        }
    }
}

TEST_F(SandboxTest, StarLevelComesFromEachSubscribersRecord) {
    for (const sandbox::Subscriber& s : sandbox::DemoData::subscribers()) {
        const QJsonObject reply = as(s.number, "StarLevel");
        EXPECT_EQ(resultOf(reply), 0) << s.number.toStdString();
        EXPECT_EQ(reply.value("credit_level").toString(), s.starLevel) << s.number.toStdString();
    }
}

TEST_F(SandboxTest, UnknownInterfaceAndWrongMethodAreRefusedAsJson) {
    const HttpProbe::Result unknown = post("NoSuchThing", {{"a", "1"}});
    EXPECT_EQ(unknown.status, 404);
    EXPECT_NE(unknown.json().value("result").toInteger(0), 0);

    const HttpProbe::Result viaGet = http.get(server.interfaceUrl("Login"));
    EXPECT_EQ(viaGet.status, 405);
    EXPECT_NE(viaGet.json().value("result").toInteger(0), 0);
}

} // namespace
