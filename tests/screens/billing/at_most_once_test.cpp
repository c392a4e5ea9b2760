#include "app/core/HTTPRequest.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

namespace {

// A dropped connection is never resent: the screens' own tests (points exchange, card
// recharge, pack order) check that against the sandbox. Here: what else such a request does.
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
