#include "platform/foundation/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>
#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/foundation/Directories.h"

namespace {

// A folder of the user's own that nobody else may enter, let alone write in.
bool isPrivateFolder(const QByteArray& path, uid_t user) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == user &&
           (st.st_mode & 077) == 0;
}

// Whether a client listens at the socket: a leftover refuses the connection.
bool someoneListens(const QByteArray& path) {
    sockaddr_un address{};
    if (size_t(path.size()) >= sizeof address.sun_path) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool live =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
        errno == EAGAIN || errno == EINPROGRESS;
    ::close(fd);
    return live;
}

} // namespace

SingleInstance::SingleInstance(QString key, QObject* parent)
    : QObject(parent), m_peerUser(::getuid()) {
    const QString folder = socketFolder(m_peerUser);
    if (folder.isEmpty()) return;
    const QByteArray digest =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    m_serverName = folder + "/tavrix-" + QString::fromLatin1(digest);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultKey() {
    return qEnvironmentVariable("USER") + ":" + ns::Directories::home();
}

QString SingleInstance::socketFolder(uid_t user) {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && isPrivateFolder(runtime, user))
        return QFile::decodeName(runtime);
    const QByteArray own =
        QFile::encodeName(QDir::tempPath()) + "/tavrix-" + QByteArray::number(user);
    if (::mkdir(own.constData(), 0700) != 0 && errno != EEXIST) return {};
    return isPrivateFolder(own, user) ? QFile::decodeName(own) : QString();
}

QString SingleInstance::noSocketFolder() {
    return QStringLiteral("no private folder for the socket that keeps one client running (%1 "
                          "is not the user's own; set XDG_RUNTIME_DIR)")
        .arg(QDir::tempPath() + "/tavrix-" + QString::number(::getuid()));
}

bool SingleInstance::peerIsUser(const QLocalSocket* socket) const {
    struct ucred cred {};
    socklen_t length = sizeof cred;
    const qintptr fd = socket->socketDescriptor();
    return fd >= 0 && ::getsockopt(int(fd), SOL_SOCKET, SO_PEERCRED, &cred, &length) == 0 &&
           cred.uid == m_peerUser;
}

void SingleInstance::handOff(const QStringList& arguments, int timeoutMs) {
    m_handOffDone = false;
    m_refusal.clear();
    if (m_serverName.isEmpty()) {
        finishHandOff(HandOff::Refused, noSocketFolder());
        return;
    }
    m_client = new QLocalSocket(this);
    QLocalSocket* socket = m_client;
    const QByteArray body =
        QJsonDocument(QJsonArray::fromStringList(arguments)).toJson(QJsonDocument::Compact);
    auto connected = std::make_shared<bool>(false);
    connect(socket, &QLocalSocket::connected, this, [this, socket, body, connected] {
        *connected = true;
        if (!peerIsUser(socket)) {
            finishHandOff(HandOff::Refused,
                          QStringLiteral("%1 belongs to another user").arg(m_serverName));
            return;
        }
        // Too long for the running client to take: never a second client beside it.
        if (body.size() > kMaxMessageBytes) {
            finishHandOff(HandOff::Refused,
                          QStringLiteral("the link is longer than %1 KB; the running client "
                                         "takes nothing that long")
                              .arg(kMaxMessageBytes / 1024));
            return;
        }
        QByteArray frame(4, '\0');
        qToBigEndian<quint32>(quint32(body.size()), frame.data());
        socket->write(frame + body);
    });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (socket->read(1) == "1") finishHandOff(HandOff::Delivered);
    });
    connect(socket, &QLocalSocket::errorOccurred, this,
            [this, socket, connected](QLocalSocket::LocalSocketError error) {
                // No socket, or one nobody listens on (left by a crash): nothing runs.
                if (!*connected && (error == QLocalSocket::ServerNotFoundError ||
                                    error == QLocalSocket::ConnectionRefusedError)) {
                    finishHandOff(HandOff::NoInstance);
                    return;
                }
                finishHandOff(HandOff::Refused,
                              QStringLiteral("the running client did not take the link (%1)")
                                  .arg(socket->errorString()));
            });
    connect(socket, &QLocalSocket::disconnected, this, [this] {
        finishHandOff(HandOff::Refused,
                      QStringLiteral("the running client closed the connection unanswered"));
    });
    m_timeout.start(timeoutMs, this, [this] {
        finishHandOff(HandOff::Refused, QStringLiteral("the running client did not answer"));
    });
    socket->connectToServer(m_serverName);
}

void SingleInstance::finishHandOff(HandOff result, const QString& refusal) {
    if (m_handOffDone) return;
    m_handOffDone = true;
    m_lastHandOff = result;
    m_refusal = refusal;
    m_timeout.cancel();
    if (m_client) {
        m_client->disconnect(this);
        m_client->abort();
        m_client->deleteLater();
    }
    emit handOffFinished(result == HandOff::Delivered);
}

bool SingleInstance::listen() {
    if (m_server) return m_server->isListening();
    if (m_serverName.isEmpty()) return false;
    m_server = new QLocalServer(this);
    // No socket options: with them the socket is made aside and renamed into place, over
    // whatever is there. The folder keeps everyone else out.
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    if (m_server->listen(m_serverName)) return true;
    // A socket file nobody listens on is a crashed client's leftover; a live one stays its
    // client's, and anything else there is not ours to remove.
    const QByteArray path = QFile::encodeName(m_serverName);
    struct stat st;
    if (::lstat(path.constData(), &st) != 0 || !S_ISSOCK(st.st_mode) || someoneListens(path))
        return false;
    ::unlink(path.constData());
    return m_server->listen(m_serverName);
}

bool SingleInstance::isListening() const {
    return m_server && m_server->isListening();
}

void SingleInstance::acceptConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        if (!peerIsUser(socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_waiting.removeAll(nullptr);
        m_waiting.append(socket);
        if (m_waiting.size() > kMaxWaiting) drop(m_waiting.front());
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { drop(socket); });
        ns::performAfter(kIdleMs, socket, [this, socket] { drop(socket); });
        readFrom(socket);
    }
}

void SingleInstance::drop(QLocalSocket* socket) {
    m_waiting.removeAll(socket);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void SingleInstance::readFrom(QLocalSocket* socket) {
    if (socket->bytesAvailable() < 4) return;
    const quint32 length = qFromBigEndian<quint32>(socket->peek(4).constData());
    if (length > quint32(kMaxMessageBytes)) {
        drop(socket); // not one of ours
        return;
    }
    if (socket->bytesAvailable() < qint64(4 + length)) return;
    socket->read(4);
    const QJsonDocument doc = QJsonDocument::fromJson(socket->read(length));
    if (!doc.isArray()) {
        drop(socket);
        return;
    }
    QStringList arguments;
    for (const QJsonValue& v : doc.array())
        if (v.isString()) arguments << v.toString();
    // Handed over: no longer waiting, and gone once the launch has read the answer.
    m_waiting.removeAll(socket);
    socket->disconnect(this);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    socket->write("1");
    socket->flush();
    socket->disconnectFromServer();
    emit argumentsReceived(arguments);
}
