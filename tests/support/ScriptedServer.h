#pragma once

// A loopback HTTP server that answers with what a test scripts, and records what it got.
//
//   ScriptedServer server;                       // listens on a free port
//   server.enqueue(ScriptedServer::json(R"({"result":0})"));
//   auto* r = HTTPRequest::requestWithURL(server.url("/pelvo/Bill.do"), 30);
//   ...
//   server.waitForRequests(1);  server.requests()[0].body
//
// With nothing queued it answers the fallback (200 with {"result":0}). Besides exact replies it
// can stay silent, drop the connection, flood, trickle a reply a few bytes at a time, or send a
// head that never ends.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QUrl>
#include <deque>
#include <functional>

class QTcpSocket;

class ScriptedServer : public QObject {
    Q_OBJECT
public:
    struct Action {
        enum Kind { Reply, NoAnswer, Drop, Flood, Trickle, Endless } kind = Reply;
        int status = 200;
        QByteArray body;
        QByteArray contentType = "application/json;charset=UTF-8";
        // Reply: more header lines, each ending in "\r\n".
        QByteArray headers;
        int delayMs = 0;
        // Flood: the framing header sent ("Content-Length: N", "Transfer-Encoding: chunked",
        // or "" for a body that ends with the connection), then a JSON array that never ends,
        // or that ends after floodBytes when they are set.
        QByteArray framing;
        qint64 floodBytes = 0;
        // Trickle: the head (with the body's whole length) at once, then trickleBytes of the
        // body every trickleMs of real time.
        int trickleMs = 0;
        int trickleBytes = 1;
        // Endless: body (the start of an answer) at once, then unit over and over, as fast as
        // the client takes it, up to kFloodCap (counted in floodWritten()).
        QByteArray unit;
        // Reply: bytes past the answer on the same connection, at once or kExcessDelayMs
        // later (counted in excessWritten() once handed to the client).
        QByteArray excess;
        bool excessLater = false;
    };
    // An answer whose head never ends; bounded: the client can tell before its deadline
    // (by the head's ceiling or a malformed line), else only the deadline ends it.
    struct EndlessHead {
        const char* what;
        Action answer;
        bool bounded;
    };
    struct Request {
        QByteArray method;
        QByteArray path;
        QMap<QByteArray, QByteArray> headers; // lower-case names
        QByteArray body;
        // The form fields in order, decoded as a server would ("+" is a space).
        QList<QPair<QString, QString>> fields() const;
    };

    static Action json(const QByteArray& body, int status = 200);
    static Action html(const QByteArray& body, int status = 500);
    static Action noAnswer();
    static Action drop();
    static Action flood(const QByteArray& framing, qint64 bytes = 0);
    static Action trickle(const QByteArray& body, int intervalMs, int bytesPerStep = 1);
    static Action endless(const QByteArray& start, const QByteArray& unit);
    // A status line, a header line, header lines and a chunk-size line without end.
    static QList<EndlessHead> endlessHeads();
    // Connections from clients still open.
    int openConnections() const;
    // Flood bytes the client's side took, over every flood; a flood stops at kFloodCap.
    qint64 floodWritten() const { return m_floodWritten; }
    static constexpr qint64 kFloodCap = qint64(1) << 30;
    static constexpr int kExcessDelayMs = 50;
    // Body bytes every trickle has written so far.
    qint64 trickled() const { return m_trickled; }
    // Replies whose excess bytes have reached the client's side.
    int excessWritten() const { return m_excessWritten; }

    explicit ScriptedServer(QObject* parent = nullptr);
    ~ScriptedServer() override;

    QUrl url(const QString& path = "/") const;
    QString baseAddress() const { return url("/pelvo/").toString(); }
    void enqueue(const Action& action) { m_queue.push_back(action); }
    void setFallback(const Action& action) { m_fallback = action; }
    // Decides per request instead of the queue when set.
    void setHandler(std::function<Action(const Request&)> handler) {
        m_handler = std::move(handler);
    }
    const QList<Request>& requests() const { return m_requests; }
    // Runs the event loop until n requests have arrived or the guard time passes.
    bool waitForRequests(int n, int guardMs = 5000);
    // A port nothing listens on (for refused connections).
    static quint16 closedPort();

private:
    void onConnection();
    void onReadyRead(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const Action& action);
    void startFlood(QTcpSocket* socket, bool chunked, qint64 bytes, bool closeAtEnd);
    void startTrickle(QTcpSocket* socket, const Action& action);
    // Writes what next() gives while the client keeps up, a little ahead of it.
    void pump(QTcpSocket* socket, std::function<QByteArray()> next);
    // The status line and headers of a reply carrying action's whole body.
    static QByteArray head(const Action& action);

    QTcpServer m_server;
    std::deque<Action> m_queue;
    Action m_fallback;
    std::function<Action(const Request&)> m_handler;
    QList<Request> m_requests;
    QMap<QTcpSocket*, QByteArray> m_buffers;
    QList<QPointer<QTcpSocket>> m_held;
    qint64 m_floodWritten = 0;
    qint64 m_trickled = 0;
    int m_excessWritten = 0;
};
