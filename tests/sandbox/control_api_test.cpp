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
    // Sets a fault on "Login" over HTTP.
    HttpProbe::Result loginFault(const QString& kind, const QString& value = {}) {
        HttpProbe::Fields fields{{"interface", "Login"}, {"kind", kind}};
        if (!value.isNull()) fields.append({"value", value});
        return control("fault", fields);
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
    EXPECT_EQ(resultOf(faulted), 42);
    EXPECT_EQ(faulted.value("msg").toString(), QStringLiteral("系统维护中"));

    loginFault("none");
    EXPECT_FALSE(login("13800000001", "123456").isEmpty());

    control("fault", {{"interface", "*"}, {"kind", "empty"}});
    EXPECT_TRUE(post("StarLevel", {}).body.isEmpty());
    ASSERT_EQ(control("reset").status, 200);
    EXPECT_FALSE(login("13800000001", "123456").isEmpty());
}

TEST_F(ControlApiTest, BadFaultRequestsAreRefusedAndChangeNothing) {
    const std::pair<const char*, QString> onLogin[] = {
        {"explode", {}},
        {"delay", {}},
        {"result", "x"},
        {"result", "1 2"},
        // Delays a timer cannot hold, or that used to wrap around to short or negative ones.
        {"delay", "4294967396"},
        {"delay", "2147483648"},
        {"delay", "86400001"},
        {"delay", "-1"},
        {"delay", "+5"},
        {"delay", "1e3"},
        {"delay", "99999999999999999999999"},
    };
    std::vector<HttpProbe::Result> refusals = {control("fault", {{"kind", "drop"}})};
    for (const auto& [kind, value] : onLogin)
        refusals.push_back(loginFault(kind, value));
    for (const HttpProbe::Result& r : refusals) {
        EXPECT_EQ(r.status, 400) << r.body.toStdString();
        EXPECT_NE(r.json().value("result").toInteger(0), 0);
        EXPECT_FALSE(r.json().value("msg").toString().isEmpty());
    }
    EXPECT_TRUE(
        loginFault("delay", "4294967396").json().value("msg").toString().contains("86400000"));
    EXPECT_TRUE(server.server().faults().isEmpty());

    for (const auto& [value, ms] : {std::pair{"0", 0}, {" 86400000 ", 86400000}}) {
        EXPECT_EQ(loginFault("delay", value).status, 200);
        EXPECT_EQ(server.server().faults().faultFor("Login"), sandbox::Fault::delay(ms));
    }
}

TEST_F(ControlApiTest, ExpiresEverySessionOrOne) {
    const QString a = login("13800000001", "123456");
    const QString b = login("13800000002", "234567");
    auto level = [&](const QString& session, const QString& num) {
        return resultOf(call("StarLevel", {{"session", session}, {"num", num}}));
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
    const QJsonObject page =
        QJsonDocument::fromJson(http.get(controlUrl("requests")).body).object();
    EXPECT_EQ(page.value("total").toInt(), 4);
    const QJsonArray listed = page.value("requests").toArray();
    ASSERT_EQ(listed.size(), 4);
    EXPECT_EQ(listed[1].toObject().value("interface").toString(), "FeedBack");
    EXPECT_EQ(listed[1].toObject().value("body").toString().toUtf8(), bodies[1]);
    EXPECT_EQ(listed[1].toObject().value("fields").toArray(),
              (QJsonArray{QJsonArray{"content", QStringLiteral("话费 & 流量=100%+")},
                          QJsonArray{"content", QStringLiteral("第二条")}}));

    ASSERT_EQ(control("clear-requests").status, 200);
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(ControlApiTest, RequestListIsPagedAndHidesSecrets) {
    const QByteArray bodies[] = {
        "num=13800000001&pass=123456&channelid=2",
        "cardno=1&cardpwd=9876&%6Eew%50ass=abc",
        "enc_oldpassword=AB12&enc_newpassword=CD34&Pwd",
        "session=S&num=13800000001",
    };
    for (const QByteArray& body : bodies)
        http.post(server.interfaceUrl("Login"), body);
    // In the process, tests still see exactly what was sent.
    ASSERT_EQ(server.requests().size(), 4);
    EXPECT_EQ(server.requests()[0].fields.value("pass"), "123456");

    auto page = [&](const QString& query) {
        const HttpProbe::Result r = http.get(QUrl(controlUrl("requests").toString() + query));
        EXPECT_EQ(r.status, 200) << query.toStdString();
        return QJsonDocument::fromJson(r.body).object();
    };
    const QJsonArray all = page("").value("requests").toArray();
    ASSERT_EQ(all.size(), 4);
    const QString expectedBodies[] = {
        "num=13800000001&pass=***&channelid=2",
        "cardno=1&cardpwd=***&%6Eew%50ass=***",
        "enc_oldpassword=***&enc_newpassword=***&Pwd",
        "session=***&num=13800000001",
    };
    const QByteArray everything = QJsonDocument(all).toJson();
    for (const char* secret : {"123456", "9876", "abc", "AB12", "CD34"})
        EXPECT_FALSE(everything.contains(secret)) << secret;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(all[i].toObject().value("body").toString(), expectedBodies[i]) << i;
    EXPECT_EQ(all[1].toObject().value("fields").toArray()[2].toArray(),
              (QJsonArray{"newPass", "***"}));

    const struct {
        QString query;
        int offset;
        QList<int> entries; // of expectedBodies
        QString next;
    } pages[] = {
        {"?offset=1&limit=2", 1, {1, 2}, "/sandbox/requests?offset=3&limit=2"},
        {"?offset=3", 3, {3}, ""},
        {"?offset=9", 4, {}, ""},
        {"?limit=0", 0, {}, ""},
        {"?limit=3", 0, {0, 1, 2}, "/sandbox/requests?offset=3&limit=3"},
    };
    for (const auto& p : pages) {
        SCOPED_TRACE(p.query.toStdString());
        const QJsonObject got = page(p.query);
        EXPECT_EQ(got.value("total").toInt(), 4);
        EXPECT_EQ(got.value("offset").toInt(), p.offset);
        QStringList listed, expected;
        for (const QJsonValue& v : got.value("requests").toArray())
            listed << v.toObject().value("body").toString();
        for (int i : p.entries)
            expected << expectedBodies[i];
        EXPECT_EQ(listed, expected);
        EXPECT_EQ(got.value("next").toString(), p.next);
    }
    // Following "next" from the first page reaches every entry once.
    QStringList followed;
    for (QString path = "/sandbox/requests?limit=1"; !path.isEmpty();) {
        const QJsonObject got = page(path.mid(QString("/sandbox/requests").size()));
        for (const QJsonValue& v : got.value("requests").toArray())
            followed << v.toObject().value("body").toString();
        path = got.value("next").toString();
    }
    EXPECT_EQ(followed, QStringList(std::begin(expectedBodies), std::end(expectedBodies)));
    for (const char* bad : {"?limit=-1", "?offset=x", "?limit=%EF%BB%BF5", "?offset=99999999999"})
        EXPECT_EQ(http.get(QUrl(controlUrl("requests").toString() + bad)).status, 400) << bad;
}

} // namespace
