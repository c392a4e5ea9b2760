#include "SandboxTest.h"
#include "platform/foundation/Clock.h"
#include "sandbox/SandboxServer.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <memory>

using sandbox::Fault;

namespace {

const HttpProbe::Fields kLogin{{"num", "13800000001"}, {"pass", "123456"}};

TEST_F(SandboxTest, FaultsReplaceTheAnswer) {
    const auto json = [](const QByteArray& b) { return QJsonDocument::fromJson(b); };
    const struct {
        const char* name;
        Fault fault;
        int status; // 0: no HTTP answer at all
        std::function<bool(const QByteArray&)> bodyIs;
    } cases[] = {
        {"empty body", Fault::emptyBody(), 200, [](const QByteArray& b) { return b.isEmpty(); }},
        {"HTML 500", Fault::html500(), 500,
         [&](const QByteArray& b) { return b.startsWith("<!DOCTYPE html>") && json(b).isNull(); }},
        {"JSON array", Fault::jsonArray(), 200,
         [&](const QByteArray& b) { return json(b).isArray(); }},
        {"result with a message", Fault::result(5, "X"), 200,
         [&](const QByteArray& b) {
             return json(b).object() == QJsonObject{{"result", 5}, {"msg", "X"}};
         }},
        {"expired session with the stock message", Fault::result(9999), 200,
         [&](const QByteArray& b) {
             return resultOf(json(b).object()) == 9999 &&
                    !json(b).object().value("msg").toString().isEmpty();
         }},
        {"dropped", Fault::drop(), 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.clearRequests();
        server.setFault("Login", c.fault);
        const HttpProbe::Result r = post("Login", kLogin);
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.status, c.status);
        // The request still counts as received (a dropped one may come twice: the client's
        // HTTP stack resends once on a connection closed without an answer), and the interface
        // did not run.
        const qsizetype received = server.requestsTo("Login").size();
        if (c.status == 0) {
            EXPECT_EQ(r.error, QNetworkReply::RemoteHostClosedError);
            EXPECT_GE(received, 1);
        } else {
            EXPECT_TRUE(c.bodyIs(r.body)) << r.body.toStdString();
            EXPECT_EQ(received, 1);
        }
        EXPECT_EQ(
            server.server().backend().database().scalar("SELECT COUNT(*) FROM sessions").toInt(),
            0);
    }
}

TEST_F(SandboxTest, NamedFaultWinsOverTheWildcard) {
    server.setFault("*", Fault::html500());
    server.setFault("Login", Fault::result(7, "seven"));
    EXPECT_EQ(resultOf(post("Login", kLogin).json()), 7);
    EXPECT_EQ(post("StarLevel", {{"session", "x"}}).status, 500);
    EXPECT_EQ(post("NoSuchThing", {}).status, 500);

    server.clearFault("Login");
    EXPECT_EQ(post("Login", kLogin).status, 500);
    server.clearFaults();
    EXPECT_EQ(resultOf(call("Login", kLogin)), 0);
}

class ClockedFaults : public ::testing::Test {
protected:
    ns::ScopedManualClock time;
    SandboxFixture server;
    HttpProbe http;
    std::unique_ptr<QNetworkReply> startLogin() {
        std::unique_ptr<QNetworkReply> reply(
            http.start(server.interfaceUrl("Login"), HttpProbe::form(kLogin)));
        EXPECT_TRUE(server.waitForRequests(server.requests().size() + 1));
        QCoreApplication::processEvents();
        return reply;
    }
    // The result of a plain log-in: the sandbox goes on serving.
    qint64 loginResult() {
        return http.post(server.interfaceUrl("Login"), HttpProbe::form(kLogin))
            .json()
            .value("result")
            .toInteger(-1);
    }
};

TEST_F(ClockedFaults, DelayedAnswerComesWhenItsTimeHasPassed) {
    server.setFault("Login", Fault::delay(5000));
    auto reply = startLogin();
    time.clock.advance(4999);
    QCoreApplication::processEvents();
    EXPECT_FALSE(reply->isFinished());
    time.clock.advance(1);
    const HttpProbe::Result r = HttpProbe::wait(reply.get());
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(resultOf(r.json()), 0);
    EXPECT_FALSE(r.json().value("session").toString().isEmpty());
}

TEST_F(ClockedFaults, NoAnswerHoldsTheConnectionUntilTheClientGivesUp) {
    server.setFault("Login", Fault::noAnswer());
    auto reply = startLogin();
    time.clock.advanceSeconds(600);
    QCoreApplication::processEvents();
    EXPECT_FALSE(reply->isFinished());
    reply->abort();

    // The sandbox goes on serving.
    server.clearFaults();
    EXPECT_EQ(loginResult(), 0);
}

TEST_F(ClockedFaults, ClientLeavingBeforeADelayedAnswerHarmsNothing) {
    server.setFault("Login", Fault::delay(1000));
    auto reply = startLogin();
    reply->abort();
    reply.reset();
    server.clearFaults();
    EXPECT_EQ(loginResult(), 0);
    time.clock.advance(1000);
    QCoreApplication::processEvents();
    EXPECT_EQ(loginResult(), 0);
}

} // namespace
