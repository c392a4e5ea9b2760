#include <QPointer>
#include <gtest/gtest.h>

#include "app/core/HTTPRequest.h"
#include "app/core/ViewController.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NetworkActivity.h"
#include "screens/entry/LoginExchange.h"
#include "screens/usage/FlowOrder.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/Wait.h"

#include <functional>

namespace {

struct Outcome {
    bool completed = false;
    bool failed = false;
    QVariant reply;
    HTTPError error;
};

// Starts the request and runs the loop until a handler fires or the guard passes.
Outcome run(HTTPRequest* request) {
    Outcome out;
    request->setCompletionHandler([&](const QVariant& r) { out.completed = true, out.reply = r; });
    request->setFailureHandler([&](const HTTPError& e) { out.failed = true, out.error = e; });
    request->startRequest();
    waitUntil([&] { return out.completed || out.failed; }, 5000);
    return out;
}

HTTPRequest* to(const ScriptedServer& server, double timeout = 30) {
    return HTTPRequest::requestWithURL(server.url("/pelvo/X.do"), timeout);
}

TEST(HTTPRequest, bodyKeepsOrderDuplicatesAndMissingValues) {
    ScriptedServer server;
    EXPECT_TRUE(run(to(server)).completed);
    auto* r = HTTPRequest::requestWithURL(server.url("/pelvo/Bill.do"), 30);
    r->setPostValue("S1", "session");
    r->setPostValue("13800000001", "num");
    r->setPostValue("1", "action");
    r->setPostValue(QVariant(), "missing");
    r->setPostValue("2", "action");
    r->setPostValue(7, "count");
    EXPECT_TRUE(run(r).completed);
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_TRUE(server.requests()[0].body.isEmpty()); // no fields: an empty body
    const auto& got = server.requests()[1];
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

TEST(HTTPRequest, repliesOfEveryShapeReachTheCompletion) {
    struct Case {
        const char* name;
        ScriptedServer::Action action;
        int expectedType; // QMetaType id, or 0 for "no reply"
    };
    const Case cases[] = {
        {"object", ScriptedServer::json(R"({"result":0,"msg":"ok"})"), QMetaType::QVariantMap},
        {"large integers", ScriptedServer::json(R"({"time":1733472000123,"big":9007199254740993})"),
         QMetaType::QVariantMap},
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
        const Outcome o = run(to(server));
        EXPECT_TRUE(o.completed);
        EXPECT_FALSE(o.failed);
        if (c.expectedType == 0)
            EXPECT_FALSE(o.reply.isValid());
        else
            EXPECT_EQ(o.reply.typeId(), c.expectedType);
        if (o.reply.toMap().contains("time")) { // exact, not through a double
            EXPECT_EQ(o.reply.toMap().value("time").toLongLong(), 1733472000123LL);
        }
    }
}

// A whole reply of the given length.
QByteArray replyOf(qint64 bytes) {
    QByteArray reply = R"({"result":0,"list":[)";
    while (reply.size() < bytes - 64)
        reply += "1234567890,";
    reply += "0]";
    reply += QByteArray(bytes - reply.size() - 1, ' ') + "}";
    return reply;
}

TEST(HTTPRequest, aReplyPastTheCeilingIsGivenUpWhileItArrivesAsAnUnusableOne) {
    const qint64 ceiling = 2 * 1024 * 1024; // "a reply over 2 MB" is given up (README)
    // A whole answer behind a head of about the given size.
    const auto behindAHeadOf = [](qint64 bytes) {
        auto a = ScriptedServer::json(R"({"result":0})");
        while (a.headers.size() < bytes - 100)
            a.headers += "X-Pad: 0123456789abcdef\r\n";
        return a;
    };
    struct Case {
        const char* name;
        ScriptedServer::Action action;
        bool accepted;
    };
    const Case cases[] = {
        {"endless, ending with the connection", ScriptedServer::flood(""), false},
        {"endless chunks", ScriptedServer::flood("Transfer-Encoding: chunked"), false},
        {"claims 50 GB", ScriptedServer::flood("Content-Length: 50000000000"), false},
        {"claims one byte past the ceiling",
         ScriptedServer::flood("Content-Length: " + QByteArray::number(ceiling + 1)), false},
        {"the largest reply taken", ScriptedServer::json(replyOf(ceiling)), true},
        {"a whole reply a byte past the ceiling", ScriptedServer::json(replyOf(ceiling + 1)),
         false},
        {"a head past its ceiling", behindAHeadOf(ns::HttpTransfer::kMaxHeadBytes + 1024), false},
        {"a head just under its ceiling", behindAHeadOf(ns::HttpTransfer::kMaxHeadBytes - 1024),
         true},
    };
    for (const Case& c : cases) {
        for (const bool atMostOnce : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (atMostOnce ? ", at most once" : ""));
            ScriptedServer server;
            server.enqueue(c.action);
            HTTPRequest* r = to(server);
            r->setAtMostOnce(atMostOnce);
            const Outcome o = run(r);
            EXPECT_TRUE(o.completed);
            EXPECT_FALSE(o.failed);
            EXPECT_EQ(o.reply.isValid(), c.accepted);
            EXPECT_FALSE(ns::NetworkActivity::isVisible());
            // Given up early: what the server got out is the ceiling and what the kernel
            // took in ahead of the client meanwhile, not the endless rest.
            EXPECT_LT(server.floodWritten(), ceiling + (qint64(256) << 20));
        }
    }
}

TEST(HTTPRequest, transportFailuresGoToTheFailureHandlerWithTheirCodes) {
    ScriptedServer server;
    server.enqueue(ScriptedServer::noAnswer());
    Outcome o = run(to(server, 0.2));
    EXPECT_TRUE(o.failed && !o.completed);
    EXPECT_EQ(o.error.code, HTTPError::TimedOut);

    const QUrl refused(
        QStringLiteral("http://127.0.0.1:%1/pelvo/X.do").arg(ScriptedServer::closedPort()));
    o = run(HTTPRequest::requestWithURL(refused, 30));
    EXPECT_TRUE(o.failed);
    EXPECT_EQ(o.error.code, HTTPError::CannotConnectToHost);
}

// A request goes out once. The one exception is curl's own: a read whose kept connection
// turns out closed before any answer goes out once more on another; a log-in or a change is
// never sent twice, so the server never acts on it twice.
TEST(HTTPRequest, aDroppedRequestReachesTheServerAsOftenAsItsKindAllows) {
    ViewController screen;
    const struct {
        const char* kind;
        std::function<HTTPRequest*()> make;
        bool read;
    } kinds[] = {
        {"a read", [&] { return screen.requestStartWithKey("Balance", false); }, true},
        {"a log-in", [&] { return LoginExchange::loginRequest(&screen, "13900000007", "246810"); },
         false},
        {"a payment", [&] { return screen.requestStartWithKey("Payment", false); }, false},
        {"a data order", [&] { return FlowOrder::start(&screen, 1, "M1", {}); }, false},
    };
    for (const auto& kind : kinds) {
        for (const bool keptAlive : {false, true}) {
            for (const bool always : {false, true}) {
                SCOPED_TRACE(std::string(kind.kind) + (keptAlive ? ", kept-alive" : ", fresh") +
                             (always ? ", dropped always" : ", dropped once"));
                ScriptedServer server;
                tavrixConfig::setServerBaseAddress(server.baseAddress());
                int reached = 0;
                server.setHandler([&](const ScriptedServer::Request& r) {
                    const auto answer = ScriptedServer::json(R"({"result":0})");
                    if (r.path.endsWith("/Warm.do")) return answer;
                    ++reached;
                    return always || reached == 1 ? ScriptedServer::drop() : answer;
                });
                if (keptAlive) { // three connections left open, each ready to be taken again
                    int warmed = 0;
                    for (int i = 0; i < 3; ++i) {
                        auto* w = HTTPRequest::requestWithURL(server.url("/pelvo/Warm.do"), 30);
                        w->setCompletionHandler([&](const QVariant&) { ++warmed; });
                        w->startRequest();
                    }
                    ASSERT_TRUE(waitUntil([&] { return warmed == 3; }));
                }
                const Outcome o = run(kind.make());
                const bool resent = kind.read && keptAlive;
                EXPECT_EQ(reached, resent ? 2 : 1);
                EXPECT_EQ(o.completed, resent && !always);
                if (o.failed) {
                    EXPECT_EQ(o.error.code, HTTPError::NetworkConnectionLost);
                }
            }
        }
    }
}

// A connection that brings bytes past its answer is never taken again: the next request goes
// out on a new one and gets its own answer.
TEST(HTTPRequest, bytesPastAnAnswerNeverBecomeTheNextAnswer) {
    const QByteArray second = "HTTP/1.1 200 OK\r\nContent-Length: 13\r\n\r\n{\"result\":77}";
    const struct {
        const char* what;
        QByteArray excess;
        bool later;
    } cases[] = {
        {"a body longer than announced", "{\"result\":77}", false},
        {"a second answer with the first", second, false},
        {"a second answer after the first was read", second, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedServer server;
        auto first = ScriptedServer::json(R"({"result":1})");
        first.excess = c.excess;
        first.excessLater = c.later;
        server.enqueue(first);
        server.enqueue(ScriptedServer::json(R"({"result":2})"));
        EXPECT_EQ(run(to(server)).reply.toMap().value("result"), 1);
        ASSERT_TRUE(waitUntil([&] { return server.excessWritten() == 1; }));
        const Outcome next = run(to(server));
        EXPECT_TRUE(next.completed);
        EXPECT_EQ(next.reply.toMap().value("result"), 2);
        EXPECT_EQ(server.requests().size(), 2);
    }
}

// The network layer asks nobody but the server: a proxy named in the environment is not used.
TEST(HTTPRequest, aProxyNamedInTheEnvironmentIsNotUsed) {
    ScriptedServer server, proxy;
    proxy.setFallback(ScriptedServer::json(R"({"result":"proxy"})"));
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy"})
        qputenv(name, proxy.url("/").toEncoded());
    const Outcome o = run(to(server));
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy"})
        qunsetenv(name);
    EXPECT_EQ(o.reply.toMap().value("result"), 0);
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_TRUE(proxy.requests().isEmpty());
}

// The time-out is for the whole exchange, from the send: a server that answers a byte at a
// time, or sends the head and then nothing, is given up at the interval like one that never
// answers; a slow reply that ends within it still arrives.
TEST(HTTPRequest, aRequestEndsAtItsIntervalHoweverSlowlyTheReplyComes) {
    ns::ScopedManualClock clock;
    const QByteArray reply = R"({"result":0,"msg":")" + QByteArray(2000, ' ') + R"("})";
    const struct {
        const char* name;
        ScriptedServer::Action answer;
        qint64 underWay; // body bytes sent before the clock moves
        bool arrives;
    } cases[] = {
        {"a byte at a time", ScriptedServer::trickle(reply, 10), 3, false},
        {"the head, then nothing", ScriptedServer::trickle(reply, 600000), 0, false},
        {"slow but within the interval", ScriptedServer::trickle(reply, 1, 40), 40, true},
    };
    for (const auto& c : cases) {
        for (const bool atMostOnce : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (atMostOnce ? ", at most once" : ""));
            ScriptedServer server;
            server.enqueue(c.answer);
            QPointer<HTTPRequest> r = to(server, 30);
            r->setAtMostOnce(atMostOnce);
            Outcome o;
            r->setCompletionHandler([&](const QVariant& v) { o.completed = true, o.reply = v; });
            r->setFailureHandler([&](const HTTPError& e) { o.failed = true, o.error = e; });
            r->startRequest();
            ASSERT_TRUE(server.waitForRequests(1));
            ASSERT_TRUE(waitUntil([&] { return server.trickled() >= c.underWay; }));
            clock.clock.advance(29999);
            if (c.arrives) {
                ASSERT_TRUE(waitUntil([&] { return o.completed || o.failed; }));
                EXPECT_TRUE(o.completed);
                EXPECT_EQ(o.reply.toMap().value("result"), 0);
                continue;
            }
            EXPECT_FALSE(o.completed || o.failed);
            const qint64 late = server.trickled(); // bytes near the end never put it off
            ASSERT_TRUE(waitUntil([&] { return server.trickled() >= late + c.underWay; }));
            clock.clock.advance(1);
            EXPECT_TRUE(o.failed && !o.completed);
            EXPECT_EQ(o.error.code, HTTPError::TimedOut);
            EXPECT_FALSE(ns::NetworkActivity::isVisible());
            EXPECT_TRUE(waitUntil([&] { return r.isNull(); }));
        }
    }
}

// A head that never ends is given up at its ceiling, or at the interval when nothing tells it
// apart from a slow answer; either way its connection closes and the next request is answered.
TEST(HTTPRequest, anEndlessHeadEndsAtItsBoundOrItsIntervalAndTheNextRequestGetsThrough) {
    ns::ScopedManualClock clock;
    for (const auto& c : ScriptedServer::endlessHeads()) {
        for (const bool atMostOnce : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (atMostOnce ? ", at most once" : ""));
            ScriptedServer server;
            server.enqueue(c.answer);
            HTTPRequest* r = to(server, 30);
            r->setAtMostOnce(atMostOnce);
            Outcome o;
            r->setCompletionHandler([&](const QVariant& v) { o.completed = true, o.reply = v; });
            r->setFailureHandler([&](const HTTPError& e) { o.failed = true, o.error = e; });
            r->startRequest();
            if (c.bounded) {
                ASSERT_TRUE(waitUntil([&] { return o.completed || o.failed; }));
                EXPECT_FALSE(o.reply.isValid());
            } else {
                // Megabytes past any ceiling, and still reading.
                ASSERT_TRUE(waitUntil([&] { return server.floodWritten() > (16 << 20); }, 20000));
                EXPECT_FALSE(o.completed || o.failed);
                clock.clock.advance(30000);
                EXPECT_TRUE(o.failed);
                EXPECT_EQ(o.error.code, HTTPError::TimedOut);
            }
            EXPECT_FALSE(ns::NetworkActivity::isVisible());
            EXPECT_TRUE(waitUntil([&] { return server.openConnections() == 0; }));
            const Outcome next = run(to(server));
            EXPECT_TRUE(next.completed);
            EXPECT_EQ(next.reply.toMap().value("result"), 0);
        }
    }
}

TEST(HTTPRequest, requestsShareTheirCookiesUntilTheyAreCleared) {
    ScriptedServer server;
    auto setting = ScriptedServer::json(R"({"result":0})");
    setting.headers = "Set-Cookie: JSESSIONID=s1; Path=/\r\n";
    server.enqueue(setting);
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(run(to(server)).completed);
    HTTPRequest::clearCookies();
    EXPECT_TRUE(run(to(server)).completed);
    ASSERT_EQ(server.requests().size(), 3);
    EXPECT_EQ(server.requests()[1].headers.value("cookie"), "JSESSIONID=s1");
    EXPECT_FALSE(server.requests()[2].headers.contains("cookie"));
}

// The indicator is one switch, not a count: the first request to end turns it off, though
// others may still run.
TEST(HTTPRequest, activityIndicatorFollowsTheRequest) {
    for (const int othersRunning : {0, 1}) {
        SCOPED_TRACE(othersRunning ? "another still running" : "alone");
        ScriptedServer server;
        server.setHandler([](const ScriptedServer::Request& r) {
            return r.path.endsWith("/Slow.do") ? ScriptedServer::noAnswer()
                                               : ScriptedServer::json(R"({"result":0})");
        });
        QList<QPointer<HTTPRequest>> others;
        for (int i = 0; i < othersRunning; ++i) {
            others.append(HTTPRequest::requestWithURL(server.url("/pelvo/Slow.do"), 30));
            others.last()->startRequest();
        }
        ASSERT_TRUE(server.waitForRequests(othersRunning));
        auto* r = to(server);
        bool done = false;
        r->setCompletionHandler([&](const QVariant&) { done = true; });
        r->startRequest();
        EXPECT_TRUE(ns::NetworkActivity::isVisible());
        ASSERT_TRUE(waitUntil([&] { return done; }));
        EXPECT_FALSE(ns::NetworkActivity::isVisible());
        for (const auto& other : others) {
            EXPECT_TRUE(other && other->isRunning());
            if (other) other->cancleRequest();
        }
    }
}

TEST(HTTPRequest, neitherHandlerRunsAfterACancelOrTheOwnersEnd) {
    for (const bool cancel : {true, false}) {
        SCOPED_TRACE(cancel ? "cancelled" : "owner destroyed");
        ScriptedServer server;
        auto answer = ScriptedServer::json(R"({"result":0})");
        answer.delayMs = 50;
        server.setFallback(answer);
        auto* owner = new QObject;
        QPointer<HTTPRequest> r = HTTPRequest::requestWithURL(server.url("/X.do"), 30, owner);
        int calls = 0;
        r->setCompletionHandler([&](const QVariant&) { ++calls; });
        r->setFailureHandler([&](const HTTPError&) { ++calls; });
        r->startRequest();
        if (cancel) {
            r->cancleRequest();
            EXPECT_FALSE(ns::NetworkActivity::isVisible());
        }
        server.waitForRequests(1, 300);
        if (!cancel) delete owner;
        waitUntil([] { return false; }, 150);
        EXPECT_EQ(calls, 0);
        EXPECT_TRUE(r.isNull()); // a cancelled request cleans itself up
        if (cancel) delete owner;
    }
}

TEST(HTTPRequest, restartingSendsTheSameFieldsOnce) {
    ScriptedServer server;
    server.enqueue(ScriptedServer::noAnswer());
    auto* r = to(server);
    r->setPostValue("v", "k");
    r->startRequest();
    ASSERT_TRUE(server.waitForRequests(1));
    int completions = 0;
    r->setCompletionHandler([&](const QVariant&) { ++completions; });
    r->startRequest();
    ASSERT_TRUE(waitUntil([&] { return completions > 0; }));
    EXPECT_EQ(completions, 1);
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_EQ(server.requests()[1].body, "k=v");
}

} // namespace
