// The sandbox under hostile input over raw sockets: broken framing, oversized and stalled
// requests. Nothing of it may reach an interface or change the data.

#include "SandboxTest.h"
#include "platform/foundation/Clock.h"
#include "sandbox/ConnectionGate.h"
#include "sandbox/SandboxServer.h"
#include "tests/support/NonReader.h"
#include "tests/support/Wait.h"

#include <QTcpSocket>
#include <algorithm>
#include <arpa/inet.h>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

// What came back on one raw connection, and whether the server closed it.
struct Exchange {
    QByteArray received;
    bool closed = false;
    int status() const {
        if (!received.startsWith("HTTP/1.1 ")) return 0;
        return received.mid(9, 3).toInt();
    }
};

// Raw connections opened at once, each sending its bytes as soon as it is connected; what
// came back on each once the server closed them all (or guardMs passed).
QList<Exchange> burst(quint16 port, const QList<QByteArray>& requests, int guardMs = 10000) {
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    QList<Exchange> results(requests.size());
    for (qsizetype i = 0; i < requests.size(); ++i) {
        QTcpSocket* socket = sockets.emplace_back(std::make_unique<QTcpSocket>()).get();
        QObject::connect(socket, &QTcpSocket::connected,
                         [socket, bytes = requests[i]] { socket->write(bytes); });
        QObject::connect(socket, &QTcpSocket::readyRead,
                         [socket, got = &results[i]] { got->received += socket->readAll(); });
        socket->connectToHost(QHostAddress::LocalHost, port);
    }
    auto closed = [](const auto& s) { return s->state() == QAbstractSocket::UnconnectedState; };
    waitUntil([&] { return std::all_of(sockets.begin(), sockets.end(), closed); }, guardMs);
    for (qsizetype i = 0; i < requests.size(); ++i) {
        results[i].received += sockets[i]->readAll();
        results[i].closed = closed(sockets[i]);
    }
    return results;
}

Exchange exchange(quint16 port, const QByteArray& bytes, int guardMs = 5000) {
    return burst(port, {bytes}, guardMs).first();
}

sandbox::SandboxOptions quickTimeouts() {
    sandbox::SandboxOptions options;
    options.idleTimeoutMs = 300;
    options.requestTimeoutMs = 900;
    options.writeTimeoutMs = 300;
    options.maxBodyBytes = 64 * 1024;
    return options;
}

int sessionsIn(SandboxFixture& sandbox) {
    return sandbox.server().backend().database().scalar("SELECT COUNT(*) FROM sessions").toInt();
}

class HostileInput : public ::testing::Test {
protected:
    quint16 port() { return fixture.server().port(); }
    int sessionCount() { return sessionsIn(fixture); }
    SandboxFixture fixture{quickTimeouts()};
};

const QByteArray kBody = "num=13800000001&pass=123456";
const QByteArray kHead = "POST /pelvo/Login.do HTTP/1.1\r\nHost: 127.0.0.1\r\n";
const QByteArray kChunked = kHead + "Transfer-Encoding: chunked\r\n\r\n";
const QByteArray kLogin = kHead + "Content-Length: 27\r\n\r\n" + kBody; // well framed

TEST_F(HostileInput, BrokenFramingIsAnsweredBeforeAnyInterfaceRuns) {
    const struct {
        const char* name;
        QByteArray bytes;
        int status;
    } cases[] = {
        // One of each refusal here; the framing's own table holds every way to earn them.
        {"lengthNotANumber", kHead + "Content-Length: 27x\r\n\r\n" + kBody, 400},
        {"lengthTwiceDiffering", kHead + "Content-Length: 27\r\nContent-Length: 5\r\n\r\n" + kBody,
         400},
        {"chunkShorterThanData", kChunked + "5\r\n" + kBody + "\r\n0\r\n\r\n", 400},
        {"unknownCoding", kHead + "Transfer-Encoding: gzip\r\n\r\n" + kBody, 501},
        {"version99", "POST /pelvo/Login.do HTTP/9.9\r\nContent-Length: 27\r\n\r\n" + kBody, 505},
        {"bodyTooLarge", kHead + "Content-Length: 2000000\r\n\r\n", 413},
        {"chunksTooLarge", kChunked + "8000\r\n" + QByteArray(0x8000, 'a') + "\r\n8001\r\n", 413},
        {"headTooLarge", kHead + "X: " + QByteArray(20000, 'a') + "\r\n\r\n", 431},
        // Floods on one connection, refused at their bound instead of buffered.
        {"blankLineFlood", QByteArray(256 * 1024, '\n') + kHead + "\r\n", 431},
        {"zeroPaddedChunkSize", kChunked + QByteArray(256 * 1024, '0'), 400},
        {"endlessChunkExtension", kChunked + "1;" + QByteArray(256 * 1024, 'x'), 400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Exchange e = exchange(port(), c.bytes);
        EXPECT_EQ(e.status(), c.status) << e.received.left(200).toStdString();
        EXPECT_TRUE(e.closed);
    }
    EXPECT_TRUE(fixture.requests().isEmpty());
    EXPECT_EQ(sessionCount(), 0);

    // The same log-in, well framed (plain and chunked), still goes through.
    const QByteArray good[] = {
        kLogin,
        kChunked + "4\r\nnum=\r\n17\r\n" + kBody.mid(4) + "\r\n0\r\n\r\n",
    };
    for (const QByteArray& bytes : good) {
        const Exchange e = exchange(port(), bytes);
        EXPECT_EQ(e.status(), 200);
        EXPECT_TRUE(e.received.contains("\"result\":0")) << e.received.toStdString();
    }
    EXPECT_EQ(sessionCount(), 2);
    ASSERT_EQ(fixture.requests().size(), 2);
    EXPECT_EQ(fixture.requests()[1].body, kBody);
}

TEST_F(HostileInput, ByDefaultABodyOfOneMegabyteIsTheMost) {
    SandboxFixture defaults; // the options the sandbox starts with
    const qint64 kMegabyte = 1024 * 1024;
    const struct {
        const char* name;
        qint64 size;
        int status;
    } cases[] = {
        {"one megabyte", kMegabyte, 200},
        {"a byte more", kMegabyte + 1, 413},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray body = kBody + "&pad=" + QByteArray(c.size - kBody.size() - 5, 'a');
        ASSERT_EQ(body.size(), c.size);
        const Exchange e =
            exchange(defaults.server().port(),
                     kHead + "Content-Length: " + QByteArray::number(c.size) + "\r\n\r\n" + body);
        EXPECT_EQ(e.status(), c.status) << e.received.left(200).toStdString();
    }
    ASSERT_EQ(defaults.requests().size(), 1); // the refused one never ran
    EXPECT_EQ(defaults.requests()[0].interfaceName, "Login");
}

TEST_F(HostileInput, EveryConnectionOfABurstPassesTheGate) {
    // Mixed in each burst: log-ins (handing one over used to re-open Qt's own accepting to the
    // connections behind it), bodies over the limit, and silence.
    const struct {
        const char* name;
        QByteArray bytes;
        int status;
    } kinds[] = {
        {"login", kLogin, 200},
        {"oversized", kHead + "Content-Length: 2000000\r\n\r\n" + QByteArray(64 * 1024, 'a'), 413},
        {"silent", {}, 0},
    };
    constexpr int kConnections = 300;
    QList<QByteArray> requests;
    for (int i = 0; i < kConnections; ++i)
        requests.append(kinds[i % 3].bytes);
    for (int round = 1; round <= 2; ++round) {
        const QList<Exchange> got = burst(port(), requests);
        for (int i = 0; i < kConnections; ++i) {
            SCOPED_TRACE(kinds[i % 3].name);
            EXPECT_EQ(got[i].status(), kinds[i % 3].status);
            EXPECT_TRUE(got[i].closed);
        }
        EXPECT_EQ(fixture.server().gate()->admittedCount(), round * kConnections);
        EXPECT_EQ(sessionCount(), round * kConnections / 3);
    }
}

TEST_F(HostileInput, OfPipelinedRequestsOnlyTheFirstRunsAndIsAnswered) {
    const QByteArray cases[] = {
        kLogin + kLogin + kLogin,
        "\r\n\r\n" + kLogin + "GET /sandbox/requests HTTP/1.1\r\n\r\n",
    };
    int sessions = 0;
    for (const QByteArray& bytes : cases) {
        const Exchange e = exchange(port(), bytes);
        EXPECT_EQ(e.received.count("HTTP/1.1 "), 1) << e.received.toStdString();
        EXPECT_EQ(e.status(), 200);
        EXPECT_EQ(sessionCount(), ++sessions);
    }
    EXPECT_EQ(fixture.requests().size(), 2);
}

TEST_F(HostileInput, ClientsThatDoNotTakeTheirAnswerAreDropped) {
    // Pages of megabytes: control bytes come out six times as long in JSON.
    const QByteArray body = "k=" + QByteArray(4000, '\x01');
    for (int i = 0; i < 100; ++i)
        fixture.server().requests().append({"Login", sandbox::FormFields::parse(body), body});
    std::vector<int> clients;
    for (int i = 0; i < 20; ++i)
        clients.push_back(
            testsupport::nonReader(port(), "GET /sandbox/requests?limit=100 HTTP/1.1\r\n\r\n", 2));
    const sandbox::ConnectionGate* gate = fixture.server().gate();
    EXPECT_TRUE(waitUntil(
        [&] {
            return gate->admittedCount() == 20 && gate->waitingCount() == 0 &&
                   gate->answeringCount() == 0;
        },
        5000));
    // Each got the start of its answer and never the end of it.
    for (int fd : clients) {
        QByteArray got;
        char buffer[65536];
        for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
            got.append(buffer, n);
        ::close(fd);
        const qsizetype head = got.indexOf("\r\n\r\n") + 4;
        const QByteArray length = got.mid(got.indexOf("Content-Length: ") + 16, 12);
        EXPECT_TRUE(got.startsWith("HTTP/1.1 200")) << got.left(100).toStdString();
        EXPECT_LT(got.size() - head, length.left(length.indexOf('\r')).toLongLong());
    }
}

// A page of some 4.8 MB at GET kPage: the request log filled with 100 entries of 4 KB of
// control bytes, which come out six times as long in JSON.
const QByteArray kPage = "GET /sandbox/requests?limit=100 HTTP/1.1\r\n\r\n";
void fillLog(SandboxFixture& sandbox) {
    const QByteArray body = "k=" + QByteArray(4000, '\x01');
    for (int i = 0; i < 100; ++i)
        sandbox.server().requests().append({"Login", sandbox::FormFields::parse(body), body});
}

TEST_F(HostileInput, AnswersNobodyReadsAreHeldOnlyUpToTheirLimit) {
    // Clients that never read, each asking for a page: without a limit each holds its whole
    // answer in the server until the write time-out. Once their unwritten bytes reach the
    // limit, no request runs: the answers already queued stay, the rest get 503.
    constexpr qint64 kLimit = 16 * 1024 * 1024;
    constexpr qint64 kOnePage = 5 * 1024 * 1024;
    constexpr int kClients = 40;
    for (const bool atOnce : {false, true}) {
        SCOPED_TRACE(atOnce ? "all at once" : "one after another");
        sandbox::SandboxOptions options = quickTimeouts();
        options.writeTimeoutMs = 60000; // no relief from the time-out meanwhile
        options.maxUnsentBytes = kLimit;
        SandboxFixture patient(options);
        fillLog(patient);
        const sandbox::ConnectionGate* gate = patient.server().gate();
        const quint16 port = patient.server().port();
        const auto settled = [&](int admitted) {
            return waitUntil(
                [&] { return gate->admittedCount() == admitted && gate->waitingCount() == 0; },
                5000);
        };
        std::vector<int> clients;
        for (int i = 0; i < kClients; ++i) {
            clients.push_back(testsupport::nonReader(port, kPage, 2));
            if (atOnce) continue;
            ASSERT_TRUE(settled(i + 1));
            EXPECT_LT(gate->unsentBytes(), kLimit + kOnePage);
        }
        ASSERT_TRUE(settled(kClients));
        EXPECT_TRUE(gate->isFull());
        EXPECT_LT(gate->unsentBytes(), kLimit + kOnePage);
        EXPECT_LT(gate->peakUnsentBytes(), kLimit + kOnePage); // one page over at most
        EXPECT_EQ(gate->overLimitCount(), kClients - gate->answeringCount());

        // Meanwhile a log-in is refused and changes nothing.
        const int sessionsBefore = sessionsIn(patient);
        const Exchange refused = exchange(port, kLogin);
        EXPECT_EQ(refused.status(), 503) << refused.received.left(200).toStdString();
        EXPECT_TRUE(refused.received.contains("too many answers waiting to be read"));
        EXPECT_TRUE(refused.closed);
        EXPECT_EQ(sessionsIn(patient), sessionsBefore);
        EXPECT_EQ(patient.server().requests().entries().size(), 100);

        // Once the crowd goes, what it held goes; a log-in runs and a reader gets the page.
        for (int fd : clients)
            ::close(fd);
        EXPECT_TRUE(waitUntil([&] { return gate->unsentBytes() == 0; }, 5000));
        const Exchange login = exchange(port, kLogin);
        EXPECT_TRUE(login.received.contains("\"result\":0")) << login.received.toStdString();
        const Exchange whole = exchange(port, kPage);
        EXPECT_EQ(whole.status(), 200);
        EXPECT_GT(whole.received.size(), 4 * 1024 * 1024);
    }
}

// The body of an answer, once its head says how long it is and all of it came; else empty.
QByteArray wholeBody(const QByteArray& received) {
    const qsizetype head = received.indexOf("\r\n\r\n");
    const qsizetype at = received.indexOf("Content-Length: ");
    if (head < 0 || at < 0 || at > head) return {};
    const qint64 length = received.mid(at + 16, received.indexOf('\r', at) - at - 16).toLongLong();
    const QByteArray body = received.mid(head + 4);
    return body.size() == length ? body : QByteArray();
}

TEST_F(HostileInput, AClientThatReadsIsServedWholeWhateverTheLimit) {
    // Only what is not yet written counts: a client that keeps reading an answer far larger
    // than the limit gets all of it, streamed or queued whole, while other clients connect
    // (the gate looks over its answers at each connection).
    const struct {
        const char* name;
        QByteArray request;
        qint64 size; // at least
    } cases[] = {
        {"archive streamed", "GET /archives/generated/bytes-20971520.zip HTTP/1.1\r\n\r\n",
         20971520},
        {"page queued whole", kPage, 4 * 1024 * 1024},
    };
    constexpr qint64 kLimit = 1024 * 1024;
    sandbox::SandboxOptions options = quickTimeouts();
    options.writeTimeoutMs = 60000;
    options.maxUnsentBytes = kLimit;
    SandboxFixture sandbox(options);
    fillLog(sandbox);
    const quint16 port = sandbox.server().port();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTcpSocket reader;
        // A small window: the server holds most of the answer while the client reads it.
        reader.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 64 * 1024);
        reader.setReadBufferSize(64 * 1024);
        QByteArray got;
        qint64 nextKnock = kLimit;
        QObject::connect(&reader, &QTcpSocket::connected, [&] { reader.write(c.request); });
        QObject::connect(&reader, &QTcpSocket::readyRead, [&] {
            got += reader.readAll();
            if (got.size() < nextKnock) return;
            nextKnock += kLimit;
            const int knock = testsupport::nonReader(port, {});
            ::close(knock);
        });
        reader.connectToHost(QHostAddress::LocalHost, port);
        EXPECT_TRUE(waitUntil(
            [&] {
                got += reader.readAll();
                return reader.state() == QAbstractSocket::UnconnectedState;
            },
            20000));
        EXPECT_TRUE(got.startsWith("HTTP/1.1 200")) << got.left(100).toStdString();
        EXPECT_GE(wholeBody(got).size(), c.size) << "got " << got.size();
        EXPECT_GT(nextKnock, 4 * kLimit); // others came while it read
    }
    EXPECT_EQ(sandbox.server().gate()->overLimitCount(), 0);
}

TEST_F(HostileInput, ADelayedAnswerFallingDueWhileTheLimitIsReachedIsDropped) {
    // A log-in's answer is delayed; it falls due while a client that never reads holds a page
    // over the limit: the connection is dropped and the log-in never runs. Without the page
    // it runs and is answered.
    ns::ScopedManualClock time;
    sandbox::SandboxOptions options = quickTimeouts();
    options.writeTimeoutMs = 60000; // the held page stays until the test lets it go
    options.maxUnsentBytes = 1024 * 1024;
    SandboxFixture sandbox(options);
    fillLog(sandbox);
    sandbox.setFault("Login", sandbox::Fault::delay(1000));
    const quint16 port = sandbox.server().port();
    const sandbox::ConnectionGate* gate = sandbox.server().gate();
    for (const bool full : {true, false}) {
        SCOPED_TRACE(full ? "limit reached" : "under the limit");
        QTcpSocket client;
        QByteArray got;
        QObject::connect(&client, &QTcpSocket::readyRead, [&] { got += client.readAll(); });
        QObject::connect(&client, &QTcpSocket::connected, [&] { client.write(kLogin); });
        client.connectToHost(QHostAddress::LocalHost, port);
        ASSERT_TRUE(sandbox.waitForRequests(int(sandbox.requests().size()) + 1));
        const int holder = full ? testsupport::nonReader(port, kPage) : -1;
        ASSERT_TRUE(waitUntil([&] { return gate->isFull() == full; }, 5000));
        time.clock.advance(1000);
        EXPECT_TRUE(waitUntil([&] { return client.state() == QAbstractSocket::UnconnectedState; }));
        EXPECT_EQ(got.contains("\"result\":0"), !full) << got.toStdString();
        EXPECT_EQ(got.isEmpty(), full);
        EXPECT_EQ(sessionsIn(sandbox), full ? 0 : 1);
        EXPECT_EQ(gate->overLimitCount(), 1);
        if (full) ::close(holder);
        ASSERT_TRUE(waitUntil([&] { return gate->unsentBytes() == 0; }, 5000));
    }
}

TEST_F(HostileInput, AClientAskingToContinueSendsItsBodyAfterward) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port());
    ASSERT_TRUE(waitUntil([&] { return socket.state() == QAbstractSocket::ConnectedState; }));
    socket.write(kHead + "Expect: 100-continue\r\nContent-Length: 27\r\n\r\n");
    QByteArray got;
    ASSERT_TRUE(waitUntil([&] { return (got += socket.readAll()).endsWith("\r\n\r\n"); }));
    EXPECT_EQ(got, "HTTP/1.1 100 Continue\r\n\r\n");
    socket.write(kBody);
    EXPECT_TRUE(waitUntil([&] {
        got += socket.readAll();
        return socket.state() == QAbstractSocket::UnconnectedState;
    }));
    EXPECT_TRUE(got.contains("HTTP/1.1 200 OK")) << got.toStdString();
    EXPECT_EQ(sessionCount(), 1);
}

TEST_F(HostileInput, StalledAndDrippingConnectionsAreClosed) {
    // Silent from the start: closed without an answer.
    const Exchange silent = exchange(port(), {}, 3000);
    EXPECT_TRUE(silent.closed);
    EXPECT_TRUE(silent.received.isEmpty());

    // Half a head, then nothing.
    const Exchange half = exchange(port(), "POST /pelvo/Login.do HTTP/1.1\r\nHost:", 3000);
    EXPECT_TRUE(half.closed);
    EXPECT_EQ(half.status(), 408);

    // A body shorter than announced.
    const Exchange shortBody =
        exchange(port(), kHead + "Content-Length: 100\r\n\r\n" + kBody, 3000);
    EXPECT_EQ(shortBody.status(), 408);

    // One byte at a time, never idle for long, never done: the whole-request limit ends it.
    QTcpSocket drip;
    drip.connectToHost(QHostAddress::LocalHost, port());
    ASSERT_TRUE(waitUntil([&] { return drip.state() == QAbstractSocket::ConnectedState; }));
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { drip.write("X"); });
    drip.write(kHead + "X-Slow: ");
    tick.start(50);
    QByteArray got;
    EXPECT_TRUE(waitUntil(
        [&] {
            got += drip.readAll();
            return drip.state() == QAbstractSocket::UnconnectedState;
        },
        4000));
    EXPECT_TRUE(got.startsWith("HTTP/1.1 408")) << got.toStdString();
    tick.stop();

    EXPECT_TRUE(fixture.requests().isEmpty());
    EXPECT_TRUE(waitUntil([&] { return fixture.server().gate()->waitingCount() == 0; }, 3000));
}

TEST_F(HostileInput, NumbersAreDigitsOnly) {
    HttpProbe http;
    const QByteArray session = "session=" + fixture.signIn().toUtf8();
    const struct {
        const char* name;
        const char* interfaceName;
        QByteArray body;
        qint64 result;
    } cases[] = {
        {"encoded byte order mark", "Login", "num=%EF%BB%BF13800000001&pass=123456", 19999},
        {"raw byte order mark", "Login", QByteArray("num=\xEF\xBB\xBF") + "13800000001&pass=123456",
         19999},
        {"full-width 1", "Login", "num=%EF%BC%913800000001&pass=123456", 19999},
        {"checked session, marked number", "StarLevel", session + "&num=%EF%BB%BF13800000001",
         9999},
        {"checked session, plain number", "StarLevel", session + "&num=13800000001", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(resultOf(http.post(fixture.interfaceUrl(c.interfaceName), c.body).json()),
                  c.result)
            << c.name;
    EXPECT_EQ(sessionCount(), 1); // only the one signed in
}

} // namespace
