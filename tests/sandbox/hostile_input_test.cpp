// The sandbox under hostile input over raw sockets: broken framing, oversized and stalled
// requests. Nothing of it may reach an interface or change the data.

#include "SandboxTest.h"
#include "sandbox/ConnectionGate.h"
#include "sandbox/SandboxServer.h"
#include "tests/support/Wait.h"

#include <QTcpSocket>

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

Exchange exchange(quint16 port, const QByteArray& bytes, int guardMs = 5000) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    Exchange result;
    if (!waitUntil([&] { return socket.state() == QAbstractSocket::ConnectedState; }, guardMs))
        return result;
    socket.write(bytes);
    result.closed = waitUntil(
        [&] {
            result.received += socket.readAll();
            return socket.state() == QAbstractSocket::UnconnectedState;
        },
        guardMs);
    result.received += socket.readAll();
    return result;
}

sandbox::SandboxOptions quickTimeouts() {
    sandbox::SandboxOptions options;
    options.idleTimeoutMs = 300;
    options.requestTimeoutMs = 900;
    options.maxBodyBytes = 64 * 1024;
    return options;
}

class HostileInput : public ::testing::Test {
protected:
    quint16 port() { return fixture.server().port(); }
    int sessionCount() {
        return fixture.server()
            .backend()
            .database()
            .scalar("SELECT COUNT(*) FROM sessions")
            .toInt();
    }
    SandboxFixture fixture{quickTimeouts()};
};

const QByteArray kBody = "num=13800000001&pass=123456";
const QByteArray kHead = "POST /pelvo/Login.do HTTP/1.1\r\nHost: 127.0.0.1\r\n";

TEST_F(HostileInput, BrokenFramingIsAnsweredBeforeAnyInterfaceRuns) {
    const struct {
        const char* name;
        QByteArray bytes;
        int status;
    } cases[] = {
        {"lengthNotANumber", kHead + "Content-Length: 27x\r\n\r\n" + kBody, 400},
        {"lengthNegative", kHead + "Content-Length: -27\r\n\r\n" + kBody, 400},
        {"lengthTwiceDiffering", kHead + "Content-Length: 27\r\nContent-Length: 5\r\n\r\n" + kBody,
         400},
        {"lengthTwiceSame", kHead + "Content-Length: 27\r\nContent-Length: 27\r\n\r\n" + kBody,
         400},
        {"lengthAndChunked",
         kHead + "Content-Length: 27\r\nTransfer-Encoding: chunked\r\n\r\n1b\r\n" + kBody +
             "\r\n0\r\n\r\n",
         400},
        {"chunkSizeNotHex",
         kHead + "Transfer-Encoding: chunked\r\n\r\nzz\r\n" + kBody + "\r\n0\r\n\r\n", 400},
        {"chunkShorterThanData",
         kHead + "Transfer-Encoding: chunked\r\n\r\n5\r\n" + kBody + "\r\n0\r\n\r\n", 400},
        {"unknownCoding", kHead + "Transfer-Encoding: gzip\r\n\r\n" + kBody, 501},
        {"headerNameOfFF", kHead + "\xFF\xFF\xFF: 1\r\nContent-Length: 27\r\n\r\n" + kBody, 400},
        {"foldedHeader", kHead + "X: a\r\n b\r\nContent-Length: 27\r\n\r\n" + kBody, 400},
        {"version99", "POST /pelvo/Login.do HTTP/9.9\r\nContent-Length: 27\r\n\r\n" + kBody, 505},
        {"notHttp", QByteArray("\x16\x03\x01\x00\x05hello\r\n\r\n", 14), 400},
        {"bodyTooLarge", kHead + "Content-Length: 2000000\r\n\r\n", 413},
        {"chunksTooLarge",
         kHead + "Transfer-Encoding: chunked\r\n\r\n8000\r\n" + QByteArray(0x8000, 'a') +
             "\r\n8001\r\n",
         413},
        {"headTooLarge", kHead + "X: " + QByteArray(20000, 'a') + "\r\n\r\n", 431},
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
        kHead + "Content-Length: 27\r\n\r\n" + kBody,
        kHead + "Transfer-Encoding: chunked\r\n\r\n4\r\nnum=\r\n17\r\n" + kBody.mid(4) +
            "\r\n0\r\n\r\n",
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
    auto call = [&](const QString& name, const QByteArray& body) {
        return http.post(fixture.interfaceUrl(name), body).json().value("result").toInteger(-1);
    };
    const QByteArray bom = "%EF%BB%BF";
    EXPECT_EQ(call("Login", "num=" + bom + "13800000001&pass=123456"), 19999);
    EXPECT_EQ(call("Login", "num=\xEF\xBB\xBF"
                            "13800000001&pass=123456"),
              19999);
    EXPECT_EQ(call("Login", "num=%EF%BC%91"
                            "3800000001&pass=123456"),
              19999); // full-width 1
    EXPECT_EQ(sessionCount(), 0);
    const QString session = fixture.signIn();
    EXPECT_EQ(call("StarLevel", "session=" + session.toUtf8() + "&num=" + bom + "13800000001"),
              9999);
    EXPECT_EQ(call("StarLevel", "session=" + session.toUtf8() + "&num=13800000001"), 0);
}

} // namespace
