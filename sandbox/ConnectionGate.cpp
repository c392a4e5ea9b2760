#include "sandbox/ConnectionGate.h"

#include "sandbox/HttpAnswer.h"
#include "sandbox/Reply.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sandbox {

namespace {

// A refused connection is closed after its answer has gone out, or after this long.
constexpr int kLingerMs = 2000;
// Accepted per wake-up, so a flood of connections cannot starve answers.
constexpr int kAcceptBurst = 64;
// Without a spare descriptor to trade, accepting pauses this long instead of spinning.
constexpr int kPauseMs = 250;

// Descriptors kept free when connections crowd in.
constexpr int kReservedFds = 16;
// Connections the kernel queues before a burst is accepted (QTcpServer's default is 50; past
// the queue, clients wait seconds to retry).
constexpr int kBacklog = 1024;

const char kBusy[] = "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\n"
                     "Connection: close\r\n\r\n";

int openSpare() {
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

} // namespace

// A connection until its request is complete: the framing check and its two timers. Deleting
// it (a child of the socket) drops the timers and every connection made in its name.
class ConnectionGate::Arrival : public QObject {
public:
    Arrival(const Limits& limits, QTcpSocket* socket)
        : QObject(socket), framing(limits.framing), idle(this), whole(this) {
        idle.setSingleShot(true);
        idle.setInterval(limits.idleTimeoutMs);
        whole.setSingleShot(true);
        whole.setInterval(limits.requestTimeoutMs);
    }
    RequestFraming framing;
    QTimer idle;
    QTimer whole;
    bool gotBytes = false;
    bool sentContinue = false;
};

ConnectionGate::ConnectionGate(Limits limits, QObject* parent)
    : QTcpServer(parent), m_limits(limits) {
    m_answerSweep.setInterval(std::max(1, m_limits.writeTimeoutMs / 4));
    connect(&m_answerSweep, &QTimer::timeout, this, &ConnectionGate::sweepAnswers);
}

ConnectionGate::~ConnectionGate() {
    if (m_spareFd >= 0) ::close(m_spareFd);
}

bool ConnectionGate::open(quint16 port) {
    setListenBacklogSize(kBacklog);
    if (!listen(QHostAddress::LocalHost, port)) return false;
    // Accepting is done below: QTcpServer's own loop retries a failing accept at once, which
    // spins when descriptors run out.
    pauseAccepting();
    m_notifier = new QSocketNotifier(socketDescriptor(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ConnectionGate::acceptPending);
    m_spareFd = openSpare();
    // Descriptors are handed out lowest first: a connection numbered this high means the
    // process is nearly out, and the rest are kept for the database and the answers in hand.
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        limit.rlim_cur < rlim_t(std::numeric_limits<int>::max())) {
        const int cur = int(limit.rlim_cur);
        m_fdCeiling = cur - std::max(kReservedFds, cur / 8);
    }
    return true;
}

void ConnectionGate::acceptPending() {
    sweepAnswers();
    for (int i = 0; i < kAcceptBurst; ++i) {
        const int fd =
            ::accept4(int(socketDescriptor()), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            take(fd);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED) continue;
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
            refuseForDescriptors();
            if (m_paused) return;
            continue;
        }
        return; // EAGAIN: nothing more waiting
    }
}

void ConnectionGate::refuseForDescriptors() {
    // Trade the spare descriptor for the waiting connection, tell it we are busy, close it,
    // and take the spare back.
    if (m_spareFd >= 0) {
        ::close(m_spareFd);
        m_spareFd = -1;
        const int fd =
            ::accept4(int(socketDescriptor()), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) refuseBusy(fd);
        m_spareFd = openSpare();
        if (m_spareFd >= 0) return;
    }
    m_paused = true;
    m_notifier->setEnabled(false);
    QTimer::singleShot(kPauseMs, this, [this] {
        if (m_spareFd < 0) m_spareFd = openSpare();
        m_paused = false;
        m_notifier->setEnabled(true);
    });
}

QTcpSocket* ConnectionGate::nextPendingConnection() {
    QTcpSocket* socket = QTcpServer::nextPendingConnection();
    if (m_notifier) pauseAccepting();
    return socket;
}

void ConnectionGate::incomingConnection(qintptr descriptor) {
    take(int(descriptor));
}

void ConnectionGate::take(int fd) {
    if (fd >= m_fdCeiling)
        refuseBusy(fd);
    else
        admit(fd);
}

void ConnectionGate::refuseBusy(int fd) {
    (void)::send(fd, kBusy, sizeof kBusy - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    ::close(fd);
    ++m_refused;
}

void ConnectionGate::admit(int fd) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(fd)) {
        ::close(fd);
        delete socket;
        return;
    }
    ++m_waiting;
    ++m_admitted;
    auto* arrival = new Arrival(m_limits, socket);
    connect(arrival, &QObject::destroyed, this, [this] { --m_waiting; });
    // What is read here stays in the socket (a transaction) for the HTTP server to parse.
    socket->startTransaction();
    connect(socket, &QTcpSocket::readyRead, arrival,
            [this, socket, arrival] { inspect(socket, arrival); });
    connect(socket, &QTcpSocket::disconnected, arrival, [socket] { socket->deleteLater(); });
    auto timedOut = [this, socket, arrival] {
        // A connection that never sent anything just goes; a half-sent request is told.
        if (!arrival->gotBytes) {
            retire(socket, arrival);
            closeQuietly(socket);
        } else {
            refuse(socket, arrival, 408, QStringLiteral("request not received in time"));
        }
    };
    connect(&arrival->idle, &QTimer::timeout, arrival, timedOut);
    connect(&arrival->whole, &QTimer::timeout, arrival, timedOut);
    arrival->idle.start();
    arrival->whole.start();
}

void ConnectionGate::inspect(QTcpSocket* socket, Arrival* arrival) {
    const QByteArray fresh = socket->readAll();
    if (fresh.isEmpty()) return;
    arrival->gotBytes = true;
    arrival->idle.start();
    switch (arrival->framing.feed(fresh)) {
    case RequestFraming::State::Incomplete:
        if (arrival->framing.expectsContinue() && !arrival->sentContinue) {
            arrival->sentContinue = true;
            socket->write("HTTP/1.1 100 Continue\r\n\r\n");
        }
        return;
    case RequestFraming::State::Refused:
        refuse(socket, arrival, arrival->framing.status(), arrival->framing.reason());
        return;
    case RequestFraming::State::Complete:
        handOver(socket, arrival);
        return;
    }
}

void ConnectionGate::retire(QTcpSocket* socket, Arrival* arrival) {
    if (!arrival) return;
    // Called from the arrival's own slots: stopped and cut off now, deleted afterwards.
    arrival->idle.stop();
    arrival->whole.stop();
    QObject::disconnect(socket, nullptr, arrival, nullptr);
    arrival->deleteLater();
}

void ConnectionGate::handOver(QTcpSocket* socket, Arrival* arrival) {
    notePeak();
    if (isFull()) {
        ++m_overLimit;
        refuse(socket, arrival, 503, QStringLiteral("too many answers waiting to be read"));
        return;
    }
    const qsizetype from = arrival->framing.leadingBytes();
    const qsizetype to = arrival->framing.consumed();
    retire(socket, arrival);
    // The request's bytes back in the socket, unread, for the HTTP server's own parser.
    socket->rollbackTransaction();
    if (from != 0 || socket->bytesAvailable() != to) {
        // Blank lines before it or bytes after it: the server gets the request alone.
        const QByteArray request = socket->read(to).sliced(from);
        socket->readAll();
        for (qsizetype i = request.size() - 1; i >= 0; --i)
            socket->ungetChar(request[i]);
    }
    addPendingConnection(socket);
    emit newConnection();
    QPointer<QTcpSocket> guard(socket);
    emit socket->readyRead();
    if (!guard) return;
    // The server parses no more on this connection; what still comes is read and dropped.
    QObject::disconnect(guard, &QTcpSocket::readyRead, nullptr, nullptr);
    // The server completes (commits) what it takes; what it left pending, it did not take.
    if (guard->isTransactionStarted()) {
        refuse(guard, nullptr, 400, QStringLiteral("malformed request"));
        return;
    }
    connect(guard, &QTcpSocket::readyRead, guard, [socket] { socket->readAll(); });
    watchAnswer(guard);
}

void ConnectionGate::watchAnswer(QTcpSocket* socket) {
    m_answers.append({socket, QDeadlineTimer(QDeadlineTimer::Forever)});
    if (!m_answerSweep.isActive()) m_answerSweep.start();
    // What the client can take goes out now, not after the requests still waiting: its time
    // to take the answer starts here.
    socket->flush();
    sweepAnswers();
}

void ConnectionGate::sweepAnswers() {
    // From the moment an answer is seen queued (at once, or later for a delayed one), the
    // client has the write time-out to take it; then the connection and the answer it holds
    // go. Checked on a timer and at each new connection and request: Qt runs timers only when
    // nothing else is waiting, so under a stream of requests they alone would come too late.
    for (qsizetype i = m_answers.size() - 1; i >= 0; --i) {
        Answer& answer = m_answers[i];
        QTcpSocket* socket = answer.socket;
        if (socket && socket->bytesToWrite() > 0) {
            if (answer.deadline.isForever()) {
                answer.deadline.setRemainingTime(m_limits.writeTimeoutMs);
                continue;
            }
            if (!answer.deadline.hasExpired()) continue;
            socket->flush();
            if (socket->bytesToWrite() > 0) closeQuietly(socket);
        } else if (socket) {
            continue;
        }
        m_answers.removeAt(i);
    }
    notePeak();
    if (m_answers.isEmpty()) m_answerSweep.stop();
}

void ConnectionGate::notePeak() {
    m_peakUnsent = std::max(m_peakUnsent, unsentBytes());
}

qint64 ConnectionGate::unsentBytes() const {
    qint64 total = 0;
    for (const Answer& answer : m_answers)
        if (answer.socket) total += answer.socket->bytesToWrite();
    return total;
}

bool ConnectionGate::isFull() const {
    return unsentBytes() >= m_limits.maxUnsentBytes;
}

void ConnectionGate::dropLateAnswer(QTcpSocket* socket) {
    ++m_overLimit;
    closeQuietly(socket);
}

int ConnectionGate::answeringCount() const {
    return int(std::count_if(m_answers.begin(), m_answers.end(),
                             [](const Answer& answer) { return !answer.socket.isNull(); }));
}

void ConnectionGate::refuse(QTcpSocket* socket, Arrival* arrival, int status,
                            const QString& reason) {
    retire(socket, arrival);
    if (socket->isTransactionStarted()) socket->commitTransaction();
    socket->readAll();
    socket->write(HttpAnswer::json(Reply::failure(Reply::kFailed, reason), status).toBytes());
    // Close our side once the answer is out, but keep reading (and dropping) what the client
    // still sends for a moment: closing with unread data would reset the connection and
    // could destroy the answer before the client reads it.
    auto* closing = new QObject(socket);
    auto shutWrite = [socket] {
        if (socket->bytesToWrite() == 0 && socket->state() == QAbstractSocket::ConnectedState)
            ::shutdown(int(socket->socketDescriptor()), SHUT_WR);
    };
    connect(socket, &QTcpSocket::bytesWritten, closing, shutWrite);
    connect(socket, &QTcpSocket::readyRead, closing, [socket] { socket->readAll(); });
    connect(socket, &QTcpSocket::disconnected, closing, [socket] { socket->deleteLater(); });
    QTimer::singleShot(kLingerMs, closing, [socket] { closeQuietly(socket); });
}

void ConnectionGate::closeQuietly(QTcpSocket* socket) {
    socket->abort();
    socket->deleteLater();
}

} // namespace sandbox
