#pragma once

#include "sandbox/RequestFraming.h"

#include <QDeadlineTimer>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>
#include <limits>

class QSocketNotifier;
class QTcpSocket;

namespace sandbox {

// The sandbox's listening socket. It accepts connections itself and holds each one until a
// whole, well-framed request has arrived; only then does the HTTP server see it, and only
// that request: every answer closes its connection, so what a client sends after it (a
// pipelined request) is dropped unparsed and never runs. A request that is malformed, too
// large, or too slow is answered here (400/413/431/501/505/408) and its connection closed; an
// answer the client does not take in time is dropped with its connection.
// Answers are held while their clients take them; one rule bounds what they hold in all:
// while the bytes not yet written reach the limit, nothing new joins them. A new request gets
// 503 without running, and a late answer (one whose request ran, or was to run, after a
// delay) is dropped with its connection (isFull()). What has joined is never cut by the
// limit, so a client that reads is served whole, whatever the size of its answer; the total
// held stays under the limit plus the largest single answer.
// When the process is (nearly) out of descriptors, new connections get a 503 and are closed at
// once instead of waiting in the backlog (where they would wake the event loop again and again).
class ConnectionGate : public QTcpServer {
    Q_OBJECT
public:
    struct Limits {
        RequestFraming::Limits framing;
        int idleTimeoutMs = 15000;    // no byte for this long: closed
        int requestTimeoutMs = 60000; // the whole request must arrive within this
        int writeTimeoutMs = 30000;   // the client must have taken its answer within this
        // Bytes of answers not yet written, across connections, at which nothing new joins
        // them (isFull()).
        qint64 maxUnsentBytes = 256LL * 1024 * 1024;
    };

    explicit ConnectionGate(Limits limits, QObject* parent = nullptr);
    ~ConnectionGate() override;

    // Listens on 127.0.0.1 (errorString() says why not).
    bool open(quint16 port);

    // Connections still sending their request.
    int waitingCount() const { return m_waiting; }
    // Connections refused for want of a descriptor.
    int refusedCount() const { return m_refused; }
    // Connections accepted since open(), each through the gate.
    int admittedCount() const { return m_admitted; }
    // Connections handed to the HTTP server and not yet closed (each may hold its answer).
    int answeringCount() const;
    // Bytes of answers still queued in their sockets' buffers, across connections: what the
    // kernel has taken counts as written (answers are queued in pieces, each freed once
    // written, so this is what they hold).
    qint64 unsentBytes() const;
    // The unsent bytes are at or over their limit: no new request runs, no late answer joins.
    bool isFull() const;
    // Drops a late answer's connection because the gate is full (counted as over the limit).
    void dropLateAnswer(QTcpSocket* socket);
    // The most unsent bytes seen at once.
    qint64 peakUnsentBytes() const { return m_peakUnsent; }
    // Requests refused and late answers dropped because the gate was full.
    int overLimitCount() const { return m_overLimit; }

    // Taking a connection re-arms QTcpServer's own accepting; it is paused again at once,
    // so no connection can reach the HTTP server around the gate.
    QTcpSocket* nextPendingConnection() override;

protected:
    // Should QTcpServer's own path ever accept, the connection still goes through the gate.
    void incomingConnection(qintptr descriptor) override;

private:
    class Arrival;

    void acceptPending();
    void refuseForDescriptors();
    void refuseBusy(int fd);
    void take(int fd);
    void admit(int fd);
    void inspect(QTcpSocket* socket, Arrival* arrival);
    void handOver(QTcpSocket* socket, Arrival* arrival);
    void watchAnswer(QTcpSocket* socket);
    void sweepAnswers();
    void notePeak();
    void refuse(QTcpSocket* socket, Arrival* arrival, int status, const QString& reason);
    static void retire(QTcpSocket* socket, Arrival* arrival);
    static void closeQuietly(QTcpSocket* socket);

    Limits m_limits;
    QSocketNotifier* m_notifier = nullptr;
    int m_spareFd = -1;
    int m_fdCeiling = std::numeric_limits<int>::max(); // connections at or above it: 503
    bool m_paused = false; // accepting waits for a descriptor to come free

    int m_waiting = 0;
    int m_refused = 0;
    int m_admitted = 0;
    int m_overLimit = 0;
    qint64 m_peakUnsent = 0;
    struct Answer {
        QPointer<QTcpSocket> socket; // handed over, possibly holding its answer
        QDeadlineTimer deadline;     // forever until the answer is seen queued
    };
    QList<Answer> m_answers;
    QTimer m_answerSweep;
};

} // namespace sandbox
