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
    EXPECT_EQ(reply.value("result").toInteger(-1), GetParam().result);
    EXPECT_TRUE(reply.contains("msg"));
    if (GetParam().result == 0) {
        EXPECT_FALSE(reply.value("session").toString().isEmpty());
    } else {
        EXPECT_FALSE(reply.contains("session"));
        EXPECT_FALSE(reply.value("msg").toString().isEmpty());
    }
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
    EXPECT_EQ(reply.value("result").toInteger(-1), GetParam().result);
    if (GetParam().result == 9999) {
        EXPECT_FALSE(reply.value("msg").toString().isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, SessionCheckTest,
    ::testing::Values(SessionCase{"valid", true, "13800000002", 0},
                      SessionCase{"numberAsTypedWithBlanks", true, " 13800000002", 0},
                      SessionCase{"noNumberSent", true, "", 0},
                      SessionCase{"anotherNumber", true, "13800000001", 9999},
                      SessionCase{"unknownSession", false, "13800000002", 9999}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SandboxTest, MissingOrEndedSessionsAreExpired) {
    EXPECT_EQ(call("StarLevel", {{"num", "13800000001"}}).value("result").toInteger(), 9999);
    EXPECT_EQ(
        call("StarLevel", {{"session", ""}, {"num", "13800000001"}}).value("result").toInteger(),
        9999);
    const QString session = login("13800000001", "123456");
    server.expireSessions();
    EXPECT_EQ(call("StarLevel", {{"session", session}, {"num", "13800000001"}})
                  .value("result")
                  .toInteger(),
              9999);
}

TEST(SessionLifetime, RunsOutAfterTheTimeToLiveUnused) {
    ns::ScopedManualClock time;
    SandboxFixture server;
    server.server().backend().sessions().setTtlSeconds(60);
    HttpProbe http;
    auto level = [&](const QString& session) {
        return http
            .post(server.interfaceUrl("StarLevel"),
                  HttpProbe::form({{"session", session}, {"num", "13800000001"}}))
            .json()
            .value("result")
            .toInteger(-1);
    };
    const QString session = server.signIn("13800000001");
    time.clock.advanceSeconds(59);
    EXPECT_EQ(level(session), 0);
    // Use keeps it alive.
    time.clock.advanceSeconds(59);
    EXPECT_EQ(level(session), 0);
    time.clock.advanceSeconds(60);
    EXPECT_EQ(level(session), 9999);
    // Once expired it stays expired.
    EXPECT_EQ(level(session), 9999);
}

TEST_F(SandboxTest, StarLevelComesFromEachSubscribersRecord) {
    for (const sandbox::Subscriber& s : sandbox::DemoData::subscribers()) {
        const QJsonObject reply =
            call("StarLevel", {{"session", login(s.number, s.password)}, {"num", s.number}});
        EXPECT_EQ(reply.value("result").toInteger(-1), 0) << s.number.toStdString();
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
