#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/core/HTTPRequest.h"
#include "platform/foundation/NetworkActivity.h"
#include "tests/support/ScriptedServer.h"

namespace {

struct Outcome {
    bool completed = false;
    bool failed = false;
    QVariant reply;
    HTTPError error;
};

// Starts the request and runs the loop until a handler fires or the guard passes.
Outcome run(HTTPRequest* request, int guardMs = 5000) {
    Outcome out;
    QEventLoop loop;
    request->setCompletionHandler([&](const QVariant& r) {
        out.completed = true;
        out.reply = r;
        loop.quit();
    });
    request->setFailureHandler([&](const HTTPError& e) {
        out.failed = true;
        out.error = e;
        loop.quit();
    });
    QTimer::singleShot(guardMs, &loop, &QEventLoop::quit);
    request->startRequest();
    loop.exec();
    return out;
}

TEST(HTTPRequest, bodyKeepsOrderDuplicatesAndMissingValues) {
    ScriptedServer server;
    auto* r = HTTPRequest::requestWithURL(server.url("/pelvo/Bill.do"), 30);
    r->setPostValue("S1", "session");
    r->setPostValue("13800000001", "num");
    r->setPostValue("1", "action");
    r->setPostValue(QVariant(), "missing");
    r->setPostValue("2", "action");
    r->setPostValue(7, "count");
    EXPECT_TRUE(run(r).completed);
    ASSERT_EQ(server.requests().size(), 1);
    const auto& got = server.requests()[0];
    EXPECT_EQ(got.method, "POST");
    EXPECT_EQ(got.path, "/pelvo/Bill.do");
    EXPECT_EQ(got.body, "session=S1&num=13800000001&action=1&missing=&action=2&count=7");
    EXPECT_TRUE(got.headers.value("content-type").startsWith("application/x-www-form-urlencoded"));
}

TEST(HTTPRequest, valuesSurviveServerSideDecoding) {
    const QList<QPair<QString, QString>> fields = {
        {"plain", "abc"},
        {"separators", "a&b=c"},
        {"plus and space", "1+1 = 2"},
        {"percent", "100%"},
        {"chinese", QString::fromUtf8("中文测试，联通")},
        {"newline", "line1\nline2"},
        {QString::fromUtf8("键"), QString::fromUtf8("值")},
        {"empty", ""},
    };
    ScriptedServer server;
    auto* r = HTTPRequest::requestWithURL(server.url("/pelvo/Echo.do"), 30);
    for (const auto& f : fields)
        r->setPostValue(f.second, f.first);
    EXPECT_TRUE(run(r).completed);
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests()[0].fields(), fields);
}

TEST(HTTPRequest, noFieldsSendsAnEmptyBody) {
    ScriptedServer server;
    EXPECT_TRUE(run(HTTPRequest::requestWithURL(server.url("/pelvo/X.do"), 30)).completed);
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_TRUE(server.requests()[0].body.isEmpty());
}

TEST(HTTPRequest, repliesOfEveryShapeReachTheCompletion) {
    struct Case {
        const char* name;
        ScriptedServer::Action action;
        int expectedType; // QMetaType id, or 0 for "no reply"
    };
    const Case cases[] = {
        {"object", ScriptedServer::json(R"({"result":0,"msg":"ok"})"), QMetaType::QVariantMap},
        {"object with status 500", ScriptedServer::json(R"({"result":5})", 500),
         QMetaType::QVariantMap},
        {"array", ScriptedServer::json(R"([1,2,3])"), QMetaType::QVariantList},
        {"empty body", ScriptedServer::json(""), 0},
        {"html 500", ScriptedServer::html("<html><body>Internal error</body></html>"), 0},
        {"bare number", ScriptedServer::json("42"), 0},
        {"truncated json", ScriptedServer::json(R"({"result":0)"), 0},
        {"html 404", ScriptedServer::html("<html>nope</html>", 404), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server;
        server.enqueue(c.action);
        const Outcome o = run(HTTPRequest::requestWithURL(server.url("/pelvo/X.do"), 30));
        EXPECT_TRUE(o.completed);
        EXPECT_FALSE(o.failed);
        if (c.expectedType == 0)
            EXPECT_FALSE(o.reply.isValid());
        else
            EXPECT_EQ(o.reply.typeId(), c.expectedType);
    }
}

TEST(HTTPRequest, largeIntegersStayExact) {
    ScriptedServer server;
    server.enqueue(
        ScriptedServer::json(R"({"result":0,"time":1733472000123,"big":9007199254740993})"));
    const Outcome o = run(HTTPRequest::requestWithURL(server.url("/pelvo/X.do"), 30));
    ASSERT_TRUE(o.completed);
    EXPECT_EQ(o.reply.toMap().value("time").toLongLong(), 1733472000123LL);
}

TEST(HTTPRequest, transportFailuresGoToTheFailureHandlerWithTheirCodes) {
    {
        SCOPED_TRACE("time-out");
        ScriptedServer server;
        server.enqueue(ScriptedServer::noAnswer());
        const Outcome o = run(HTTPRequest::requestWithURL(server.url("/pelvo/X.do"), 0.2));
        EXPECT_TRUE(o.failed);
        EXPECT_FALSE(o.completed);
        EXPECT_EQ(o.error.code, HTTPError::TimedOut);
    }
    {
        SCOPED_TRACE("refused");
        const QUrl url(
            QStringLiteral("http://127.0.0.1:%1/pelvo/X.do").arg(ScriptedServer::closedPort()));
        const Outcome o = run(HTTPRequest::requestWithURL(url, 30));
        EXPECT_TRUE(o.failed);
        EXPECT_EQ(o.error.code, HTTPError::CannotConnectToHost);
    }
    {
        SCOPED_TRACE("dropped");
        ScriptedServer server;
        server.setFallback(ScriptedServer::drop()); // the network layer retries a drop once
        const Outcome o = run(HTTPRequest::requestWithURL(server.url("/pelvo/X.do"), 30));
        EXPECT_TRUE(o.failed);
        EXPECT_NE(o.error.code, HTTPError::TimedOut);
    }
}

TEST(HTTPRequest, activityIndicatorFollowsTheRequest) {
    ScriptedServer server;
    auto* r = HTTPRequest::requestWithURL(server.url("/pelvo/X.do"), 30);
    bool onWhileRunning = false;
    QEventLoop loop;
    r->setCompletionHandler([&](const QVariant&) { loop.quit(); });
    r->startRequest();
    onWhileRunning = ns::NetworkActivity::isVisible();
    loop.exec();
    EXPECT_TRUE(onWhileRunning);
    EXPECT_FALSE(ns::NetworkActivity::isVisible());
}

TEST(HTTPRequest, cancelCallsNeitherHandler) {
    ScriptedServer server;
    server.setFallback(ScriptedServer::json(R"({"result":0})"));
    QPointer<HTTPRequest> r = HTTPRequest::requestWithURL(server.url("/pelvo/X.do"), 30);
    int calls = 0;
    r->setCompletionHandler([&](const QVariant&) { ++calls; });
    r->setFailureHandler([&](const HTTPError&) { ++calls; });
    r->startRequest();
    r->cancleRequest();
    EXPECT_FALSE(ns::NetworkActivity::isVisible());
    server.waitForRequests(1, 300);
    QEventLoop loop;
    QTimer::singleShot(100, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(r.isNull()); // a cancelled request cleans itself up
}

TEST(HTTPRequest, aDestroyedOwnerIsNeverCalledBack) {
    ScriptedServer server;
    server.enqueue([] {
        auto a = ScriptedServer::json(R"({"result":0})");
        a.delayMs = 50;
        return a;
    }());
    auto* owner = new QObject;
    int calls = 0;
    auto* r = HTTPRequest::requestWithURL(server.url("/pelvo/X.do"), 30, owner);
    r->setCompletionHandler([&](const QVariant&) { ++calls; });
    r->setFailureHandler([&](const HTTPError&) { ++calls; });
    r->startRequest();
    ASSERT_TRUE(server.waitForRequests(1));
    delete owner;
    QEventLoop loop;
    QTimer::singleShot(150, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(calls, 0);
}

TEST(HTTPRequest, restartingSendsTheSameFieldsOnce) {
    ScriptedServer server;
    server.enqueue(ScriptedServer::noAnswer());
    auto* r = HTTPRequest::requestWithURL(server.url("/pelvo/X.do"), 30);
    r->setPostValue("v", "k");
    r->startRequest();
    ASSERT_TRUE(server.waitForRequests(1));
    int completions = 0;
    QEventLoop loop;
    r->setCompletionHandler([&](const QVariant&) {
        ++completions;
        loop.quit();
    });
    r->startRequest();
    loop.exec();
    EXPECT_EQ(completions, 1);
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_EQ(server.requests()[1].body, "k=v");
}

} // namespace
