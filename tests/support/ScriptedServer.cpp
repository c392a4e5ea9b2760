#include "tests/support/ScriptedServer.h"

#include "tests/support/Wait.h"

#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>
#include <algorithm>
#include <memory>

QList<QPair<QString, QString>> ScriptedServer::Request::fields() const {
    QList<QPair<QString, QString>> out;
    if (body.isEmpty()) return out;
    for (const QByteArray& item : body.split('&')) {
        const qsizetype eq = item.indexOf('=');
        QByteArray k = eq < 0 ? item : item.left(eq);
        QByteArray v = eq < 0 ? QByteArray() : item.mid(eq + 1);
        k.replace('+', ' ');
        v.replace('+', ' ');
        out.append({QString::fromUtf8(QByteArray::fromPercentEncoding(k)),
                    QString::fromUtf8(QByteArray::fromPercentEncoding(v))});
    }
    return out;
}

ScriptedServer::Action ScriptedServer::json(const QByteArray& body, int status) {
    Action a;
    a.status = status;
    a.body = body;
    return a;
}

ScriptedServer::Action ScriptedServer::html(const QByteArray& body, int status) {
    Action a;
    a.status = status;
    a.body = body;
    a.contentType = "text/html";
    return a;
}

ScriptedServer::Action ScriptedServer::noAnswer() {
    Action a;
    a.kind = Action::NoAnswer;
    return a;
}

ScriptedServer::Action ScriptedServer::drop() {
    Action a;
    a.kind = Action::Drop;
    return a;
}

ScriptedServer::Action ScriptedServer::flood(const QByteArray& framing, qint64 bytes) {
    Action a;
    a.kind = Action::Flood;
    a.framing = framing;
    a.floodBytes = bytes;
    return a;
}

ScriptedServer::Action ScriptedServer::trickle(const QByteArray& body, int intervalMs,
                                               int bytesPerStep) {
    Action a;
    a.kind = Action::Trickle;
    a.body = body;
    a.trickleMs = std::max(1, intervalMs);
    a.trickleBytes = std::max(1, bytesPerStep);
    return a;
}

ScriptedServer::Action ScriptedServer::endless(const QByteArray& start, const QByteArray& unit) {
    Action a;
    a.kind = Action::Endless;
    a.body = start;
    a.unit = unit;
    return a;
}

QList<ScriptedServer::EndlessHead> ScriptedServer::endlessHeads() {
    const QByteArray chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    return {
        {"endless status line", endless("HTTP/1.1 200 ", QByteArray(1024, 'O')), true},
        {"endless header line", endless("HTTP/1.1 200 OK\r\nX-Long: ", QByteArray(1024, 'a')),
         true},
        {"endless header lines",
         endless("HTTP/1.1 200 OK\r\n", QByteArray("X-Pad: 0123456789abcdef\r\n").repeated(40)),
         true},
        {"endless chunk-size digits", endless(chunked, QByteArray(1024, 'f')), true},
        // Curl skips the extension of a chunk-size line unread: the bytes received end it.
        {"endless chunk-size extension", endless(chunked + "5;", QByteArray(1024, 'e')), true},
    };
}

int ScriptedServer::openConnections() const {
    int n = 0;
    for (const auto& s : m_held)
        n += s && s->state() == QAbstractSocket::ConnectedState;
    return n;
}

ScriptedServer::ScriptedServer(QObject* parent) : QObject(parent) {
    m_fallback = json(R"({"result":0})");
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, &ScriptedServer::onConnection);
}

ScriptedServer::~ScriptedServer() {
    for (auto& s : m_held)
        if (s) s->abort();
}

QUrl ScriptedServer::url(const QString& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

quint16 ScriptedServer::closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

bool ScriptedServer::waitForRequests(int n, int guardMs) {
    return waitUntil([&] { return m_requests.size() >= n; }, guardMs);
}

void ScriptedServer::onConnection() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        m_held.append(socket);
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void ScriptedServer::onReadyRead(QTcpSocket* socket) {
    QPointer<QTcpSocket> guard(socket);
    m_buffers[socket] += socket->readAll();
    // Answering may close the socket (and drop its buffer): look the buffer up afresh each
    // round and stop once the socket is gone.
    while (guard && m_buffers.contains(socket)) {
        QByteArray& buf = m_buffers[socket];
        const qsizetype headerEnd = buf.indexOf("\r\n\r\n");
        if (headerEnd < 0) return;
        Request req;
        const QList<QByteArray> lines = buf.left(headerEnd).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        req.method = first.value(0);
        req.path = first.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                req.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                   lines[i].mid(colon + 1).trimmed());
        }
        const qsizetype length = req.headers.value("content-length", "0").toLongLong();
        if (buf.size() < headerEnd + 4 + length) return;
        req.body = buf.mid(headerEnd + 4, length);
        buf.remove(0, headerEnd + 4 + length);
        m_requests.append(req);
        Action a = m_fallback;
        if (m_handler) {
            a = m_handler(req);
        } else if (!m_queue.empty()) {
            a = m_queue.front();
            m_queue.pop_front();
        }
        if (a.delayMs > 0) {
            QTimer::singleShot(a.delayMs, this, [this, guard, a] {
                if (guard) respond(guard, a);
            });
        } else {
            respond(socket, a);
        }
    }
}

void ScriptedServer::respond(QTcpSocket* socket, const Action& action) {
    switch (action.kind) {
    case Action::NoAnswer:
        return;
    case Action::Drop:
        m_buffers.remove(socket);
        socket->abort();
        return;
    case Action::Flood: {
        QByteArray head = "HTTP/1.1 200 Scripted\r\nContent-Type: " + action.contentType + "\r\n";
        if (!action.framing.isEmpty()) head += action.framing + "\r\n";
        head += "Connection: " + QByteArray(action.framing.isEmpty() ? "close" : "keep-alive") +
                "\r\n\r\n";
        socket->write(head);
        startFlood(socket, action.framing.toLower().contains("chunked"), action.floodBytes,
                   action.framing.isEmpty());
        return;
    }
    case Action::Trickle:
        startTrickle(socket, action);
        return;
    case Action::Endless: {
        socket->write(action.body);
        auto sent = std::make_shared<qint64>(0);
        pump(socket, [unit = action.unit, sent] {
            if (*sent >= kFloodCap) return QByteArray();
            *sent += unit.size();
            return unit;
        });
        return;
    }
    case Action::Reply:
        break;
    }
    socket->write(head(action) + action.body);
    if (action.excess.isEmpty()) return;
    const QPointer<QTcpSocket> guard(socket);
    const auto sendExcess = [this, guard, excess = action.excess] {
        if (!guard) return;
        guard->write(excess);
        guard->flush(); // on loopback: in the client's socket once this returns
        ++m_excessWritten;
    };
    if (action.excessLater)
        QTimer::singleShot(kExcessDelayMs, this, sendExcess); // after the client has read
    else
        sendExcess();
}

QByteArray ScriptedServer::head(const Action& action) {
    QByteArray out = "HTTP/1.1 " + QByteArray::number(action.status) + " Scripted\r\n";
    out += "Content-Type: " + action.contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(action.body.size()) + "\r\n";
    out += action.headers;
    out += "Connection: keep-alive\r\n\r\n";
    return out;
}

void ScriptedServer::startTrickle(QTcpSocket* socket, const Action& action) {
    socket->write(head(action));
    // The timer belongs to the socket: it stops when the client goes.
    auto* timer = new QTimer(socket);
    auto sent = std::make_shared<qsizetype>(0);
    connect(timer, &QTimer::timeout, this, [this, socket, timer, sent, action] {
        if (*sent >= action.body.size() || socket->state() != QAbstractSocket::ConnectedState) {
            timer->stop();
            return;
        }
        const QByteArray piece = action.body.mid(*sent, action.trickleBytes);
        socket->write(piece);
        *sent += piece.size();
        m_trickled += piece.size();
    });
    timer->start(action.trickleMs);
}

void ScriptedServer::pump(QTcpSocket* socket, std::function<QByteArray()> next) {
    constexpr qint64 kAhead = 256 * 1024;
    const QPointer<QTcpSocket> guard(socket);
    auto write = [guard, next] {
        while (guard && guard->state() == QAbstractSocket::ConnectedState &&
               guard->bytesToWrite() < kAhead) {
            const QByteArray piece = next();
            if (piece.isEmpty()) return;
            guard->write(piece);
        }
    };
    connect(socket, &QTcpSocket::bytesWritten, this, [this, write](qint64 n) {
        m_floodWritten += n;
        write();
    });
    write();
}

void ScriptedServer::startFlood(QTcpSocket* socket, bool chunked, qint64 bytes, bool closeAtEnd) {
    // Written as fast as the client takes it, never more than a little ahead.
    constexpr qint64 kAhead = 256 * 1024;
    const qint64 total = bytes > 0 ? bytes : kFloodCap;
    const auto frame = [chunked](const QByteArray& data) {
        return chunked ? QByteArray::number(data.size(), 16) + "\r\n" + data + "\r\n" : data;
    };
    QByteArray piece;
    while (piece.size() < 64 * 1024)
        piece += "1234567890,";
    auto body = std::make_shared<qint64>(1); // the "[" below
    const QPointer<QTcpSocket> guard(socket);
    auto pump = [guard, piece, body, total, frame, finite = bytes > 0, chunked, closeAtEnd] {
        if (!guard || guard->state() != QAbstractSocket::ConnectedState) return;
        while (guard->bytesToWrite() < kAhead && *body < total) {
            const qint64 left = total - *body;
            if (left > piece.size() + 2) {
                guard->write(frame(piece));
                *body += piece.size();
                continue;
            }
            // The end of a finite one: padding and the closing of the array.
            QByteArray last(qMax<qint64>(0, left - 2), ' ');
            last += finite ? "0]" : "0,";
            guard->write(frame(last));
            if (finite && chunked) guard->write("0\r\n\r\n");
            *body = total;
            if (finite && closeAtEnd) guard->disconnectFromHost();
            return;
        }
    };
    socket->write(frame("["));
    connect(socket, &QTcpSocket::bytesWritten, this, [this, pump](qint64 n) {
        m_floodWritten += n;
        pump();
    });
    pump();
}
