#include "app/core/HTTPRequest.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

namespace {

struct Sent {
    int completions = 0;
    int failures = 0;
    HTTPError error;
};

// Sends one request and waits for its handler, then lets a resend (if any) arrive.
Sent send(const QUrl& url, bool atMostOnce, const std::function<int()>& arrived) {
    Sent out;
    auto* request = HTTPRequest::requestWithURL(url, 30);
    request->setPostValue("S", "session");
    request->setPostValue("13800000001", "num");
    request->setPostValue("50", "amount");
    request->setAtMostOnce(atMostOnce);
    request->setCompletionHandler([&](const QVariant&) { ++out.completions; });
    request->setFailureHandler([&](const HTTPError& e) {
        ++out.failures;
        out.error = e;
    });
    request->startRequest();
    waitUntil([&] { return out.completions + out.failures > 0; });
    // A resend would follow at once on a new connection: give it the chance to show.
    waitUntil([&] { return arrived() > 1; }, 300);
    return out;
}

// The sandbox drops the connection right after reading the request: the request log tells
// how often the body reached the server.
TEST(AtMostOnce, aDroppedMoneyRequestReachesTheServerOnce) {
    struct Case {
        const char* what;
        bool atMostOnce;
        int arrivals;
    };
    const Case cases[] = {
        {"plain request: the network layer resends it", false, 2},
        {"at most once: never resent", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SandboxFixture sandbox;
        sandbox.setFault("Payment", sandbox::Fault::drop());
        const Sent sent = send(sandbox.interfaceUrl("Payment"), c.atMostOnce,
                               [&] { return int(sandbox.requestsTo("Payment").size()); });
        EXPECT_EQ(sent.completions, 0);
        EXPECT_EQ(sent.failures, 1);
        EXPECT_NE(sent.error.code, HTTPError::TimedOut); // "网络连接失败", not "请求超时"
        const auto log = sandbox.requestsTo("Payment");
        ASSERT_EQ(log.size(), c.arrivals);
        EXPECT_EQ(log.first().fields.value("amount"), "50");
    }
}

TEST(AtMostOnce, answeredRequestsBehaveAsAnyOther) {
    ScriptedServer server;
    server.enqueue(ScriptedServer::json(R"({"result":0,"url":"http://x/pay"})"));
    server.enqueue(ScriptedServer::json(R"({"result":0})"));
    server.enqueue(ScriptedServer::html("<html/>"));
    // Two sends in a row: the second needs a fresh connection of its own too.
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        QVariant reply;
        bool done = false;
        auto* request = HTTPRequest::requestWithURL(server.url("/pelvo/Card.do"), 30);
        request->setPostValue(QString::fromUtf8("卡 1&2"), "cardno");
        request->setAtMostOnce(true);
        request->setCompletionHandler([&](const QVariant& r) {
            reply = r;
            done = true;
        });
        request->startRequest();
        ASSERT_TRUE(waitUntil([&] { return done; }));
        EXPECT_EQ(reply.isValid(), i < 2);
    }
    ASSERT_EQ(server.requests().size(), 3);
    for (const auto& r : server.requests()) {
        EXPECT_EQ(r.fields(),
                  (QList<QPair<QString, QString>>{{"cardno", QString::fromUtf8("卡 1&2")}}));
        EXPECT_EQ(r.headers.value("content-length"), QByteArray::number(r.body.size()));
    }
}

TEST(AtMostOnce, aTimeOutStillArrivesAsATimeOut) {
    ScriptedServer server;
    server.enqueue(ScriptedServer::noAnswer());
    HTTPError error;
    bool failed = false;
    auto* request = HTTPRequest::requestWithURL(server.url("/pelvo/Payment.do"), 0.2);
    request->setAtMostOnce(true);
    request->setFailureHandler([&](const HTTPError& e) {
        error = e;
        failed = true;
    });
    request->startRequest();
    ASSERT_TRUE(waitUntil([&] { return failed; }));
    EXPECT_EQ(error.code, HTTPError::TimedOut);
    EXPECT_EQ(server.requests().size(), 1);
}

TEST(AtMostOnce, anOwnerDestroyedMidSendIsNeverCalledBack) {
    ScriptedServer server;
    server.enqueue(ScriptedServer::noAnswer());
    auto* owner = new QObject;
    int calls = 0;
    auto* request = HTTPRequest::requestWithURL(server.url("/pelvo/Card.do"), 30, owner);
    request->setAtMostOnce(true);
    request->setCompletionHandler([&](const QVariant&) { ++calls; });
    request->setFailureHandler([&](const HTTPError&) { ++calls; });
    request->startRequest();
    ASSERT_TRUE(server.waitForRequests(1));
    delete owner;
    waitUntil([] { return false; }, 100);
    EXPECT_EQ(calls, 0);
}

} // namespace
