#include "SandboxTest.h"
#include "sandbox/SandboxServer.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

class ControlApiTest : public SandboxTest {
protected:
    HttpProbe::Result control(const QString& endpoint, const HttpProbe::Fields& fields = {}) {
        return http.post(controlUrl(endpoint), HttpProbe::form(fields));
    }
};

TEST_F(ControlApiTest, FaultsAreSetAndClearedOverHttp) {
    ASSERT_EQ(
        control(
            "fault",
            {{"interface", "Login"}, {"kind", "result"}, {"value", "42"}, {"msg", "系统维护中"}})
            .status,
        200);
    const QJsonObject faulted = call("Login", {{"num", "13800000001"}, {"pass", "123456"}});
    EXPECT_EQ(faulted.value("result").toInteger(), 42);
    EXPECT_EQ(faulted.value("msg").toString(), QStringLiteral("系统维护中"));

    control("fault", {{"interface", "Login"}, {"kind", "none"}});
    EXPECT_FALSE(login("13800000001", "123456").isEmpty());

    control("fault", {{"interface", "*"}, {"kind", "empty"}});
    EXPECT_TRUE(post("StarLevel", {}).body.isEmpty());
    ASSERT_EQ(control("reset").status, 200);
    EXPECT_FALSE(login("13800000001", "123456").isEmpty());
}

TEST_F(ControlApiTest, BadFaultRequestsAreRefusedAndChangeNothing) {
    const HttpProbe::Fields cases[] = {
        {{"kind", "drop"}},
        {{"interface", "Login"}, {"kind", "explode"}},
        {{"interface", "Login"}, {"kind", "delay"}},
        {{"interface", "Login"}, {"kind", "result"}, {"value", "x"}},
    };
    for (const auto& fields : cases) {
        const HttpProbe::Result r = control("fault", fields);
        EXPECT_EQ(r.status, 400) << HttpProbe::form(fields).toStdString();
        EXPECT_NE(r.json().value("result").toInteger(0), 0);
    }
    EXPECT_TRUE(server.server().faults().isEmpty());
}

TEST_F(ControlApiTest, ExpiresEverySessionOrOne) {
    const QString a = login("13800000001", "123456");
    const QString b = login("13800000002", "234567");
    auto level = [&](const QString& session, const QString& num) {
        return call("StarLevel", {{"session", session}, {"num", num}})
            .value("result")
            .toInteger(-1);
    };
    EXPECT_EQ(control("expire-sessions", {{"session", a}}).json().value("expired").toInt(), 1);
    EXPECT_EQ(level(a, "13800000001"), 9999);
    EXPECT_EQ(level(b, "13800000002"), 0);
    EXPECT_EQ(control("expire-sessions").json().value("expired").toInt(), 1);
    EXPECT_EQ(level(b, "13800000002"), 9999);
}

TEST_F(ControlApiTest, RequestLogKeepsOrderExactBodiesAndDecodedFields) {
    const QByteArray bodies[] = {
        "session=S&num=13800000001&action=1",
        HttpProbe::form({{"content", "话费 & 流量=100%+"}, {"content", "第二条"}}),
        "",
        "q=a+b&r=%E4%B8%AD",
    };
    const char* names[] = {"StarLevel", "FeedBack", "Balance", "Search"};
    for (int i = 0; i < 4; ++i)
        http.post(server.interfaceUrl(names[i]), bodies[i]);

    const auto& log = server.requests();
    ASSERT_EQ(log.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(log[i].interfaceName, names[i]);
        EXPECT_EQ(log[i].body, bodies[i]);
    }
    EXPECT_EQ(log[1].fields, sandbox::FormFields({{"content", QStringLiteral("话费 & 流量=100%+")},
                                                  {"content", QStringLiteral("第二条")}}));
    EXPECT_TRUE(log[2].fields.isEmpty());
    EXPECT_EQ(log[3].fields, sandbox::FormFields({{"q", "a b"}, {"r", QStringLiteral("中")}}));

    // The same over HTTP, for tests that drive a separate sandbox.
    const QJsonArray listed =
        QJsonDocument::fromJson(http.get(controlUrl("requests")).body).array();
    ASSERT_EQ(listed.size(), 4);
    EXPECT_EQ(listed[1].toObject().value("interface").toString(), "FeedBack");
    EXPECT_EQ(listed[1].toObject().value("body").toString().toUtf8(), bodies[1]);
    EXPECT_EQ(listed[1].toObject().value("fields").toArray(),
              (QJsonArray{QJsonArray{"content", QStringLiteral("话费 & 流量=100%+")},
                          QJsonArray{"content", QStringLiteral("第二条")}}));

    ASSERT_EQ(control("clear-requests").status, 200);
    EXPECT_TRUE(server.requests().isEmpty());
}

} // namespace
