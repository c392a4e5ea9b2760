#include "platform/foundation/SingleInstance.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>
#include <QtEndian>

#include "platform/foundation/Directories.h"

SingleInstance::SingleInstance(QString key, QObject* parent) : QObject(parent) {
    const QByteArray digest =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    m_serverName = "tavrix-" + QString::fromLatin1(digest);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultKey() {
    return qEnvironmentVariable("USER") + ":" + ns::Directories::home();
}

void SingleInstance::handOff(const QStringList& arguments, int timeoutMs) {
    m_handOffDone = false;
    m_client = new QLocalSocket(this);
    QLocalSocket* socket = m_client;
    const QByteArray body =
        QJsonDocument(QJsonArray::fromStringList(arguments)).toJson(QJsonDocument::Compact);
    connect(socket, &QLocalSocket::connected, this, [socket, body] {
        QByteArray frame(4, '\0');
        qToBigEndian<quint32>(quint32(body.size()), frame.data());
        socket->write(frame + body);
    });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (socket->read(1) == "1") finishHandOff(true);
    });
    connect(socket, &QLocalSocket::errorOccurred, this, [this] { finishHandOff(false); });
    connect(socket, &QLocalSocket::disconnected, this, [this] { finishHandOff(false); });
    m_timeout.start(timeoutMs, this, [this] { finishHandOff(false); });
    if (body.size() > kMaxMessageBytes) {
        finishHandOff(false);
        return;
    }
    socket->connectToServer(m_serverName);
}

void SingleInstance::finishHandOff(bool delivered) {
    if (m_handOffDone) return;
    m_handOffDone = true;
    m_timeout.cancel();
    if (m_client) {
        m_client->disconnect(this);
        m_client->abort();
        m_client->deleteLater();
    }
    emit handOffFinished(delivered);
}

bool SingleInstance::listen() {
    if (m_server) return m_server->isListening();
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    if (m_server->listen(m_serverName)) return true;
    // Nobody answered the hand-off, so a socket file there is a leftover.
    QLocalServer::removeServer(m_serverName);
    return m_server->listen(m_serverName);
}

bool SingleInstance::isListening() const {
    return m_server && m_server->isListening();
}

void SingleInstance::acceptConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        readFrom(socket);
    }
}

void SingleInstance::readFrom(QLocalSocket* socket) {
    if (socket->bytesAvailable() < 4) return;
    const quint32 length = qFromBigEndian<quint32>(socket->peek(4).constData());
    if (length > quint32(kMaxMessageBytes)) {
        socket->abort(); // not one of ours
        return;
    }
    if (socket->bytesAvailable() < qint64(4 + length)) return;
    socket->read(4);
    const QJsonDocument doc = QJsonDocument::fromJson(socket->read(length));
    if (!doc.isArray()) {
        socket->abort();
        return;
    }
    QStringList arguments;
    for (const QJsonValue& v : doc.array())
        if (v.isString()) arguments << v.toString();
    socket->write("1");
    socket->flush();
    socket->disconnectFromServer();
    emit argumentsReceived(arguments);
}
