#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <sys/types.h>

#include "platform/foundation/Clock.h"

class QLocalServer;
class QLocalSocket;

// One running instance per user and sandbox. A later launch hands its arguments to the
// running instance over a local socket and exits.
//
// The socket lives in a folder only the user can write ($XDG_RUNTIME_DIR, else a private
// folder of the user in the system's temporary directory), and each side checks that the
// other runs as the same user: nobody else can take a launch's arguments or feed links in.
//
// Wire format: a 4-byte big-endian length, then a JSON array of strings in UTF-8; the
// receiver answers one byte "1" once it has taken the list.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxMessageBytes = 64 * 1024;
    // A connection that has not handed its message over by then is dropped; a launch sends
    // its message as soon as it is connected.
    static constexpr qint64 kIdleMs = 3000;
    // Connections waiting for their message; past it the oldest goes.
    static constexpr int kMaxWaiting = 64;

    enum class HandOff {
        Delivered,  // the running instance took the arguments
        NoInstance, // nothing runs: this launch is the instance
        Refused,    // something runs, or may, but did not take them: see refusal()
    };

    explicit SingleInstance(QString key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Derived from the user and the sandbox home, so separate sandboxes run side by side.
    static QString defaultKey();
    // Where the socket goes for that user: $XDG_RUNTIME_DIR when it is a folder the user
    // owns that nobody else may enter, else <temp>/tavrix-<uid>, made so. Empty when
    // neither is such a folder (another user made the second one first).
    static QString socketFolder(uid_t user);
    // Why there is no socket when socketFolder() is empty, for the user.
    static QString noSocketFolder();
    // The socket's path; empty when there is no folder to trust.
    QString serverName() const { return m_serverName; }
    // Peers of this user only; tests pose as another.
    void setPeerUser(uid_t user) { m_peerUser = user; }

    // Tries to give the arguments to a running instance; handOffFinished reports whether
    // it took them, lastHandOff() and refusal() the rest.
    void handOff(const QStringList& arguments, int timeoutMs = 3000);
    HandOff lastHandOff() const { return m_lastHandOff; }
    QString refusal() const { return m_refusal; }
    // Becomes the running instance. A socket left behind by a crashed instance is replaced;
    // one a running instance listens on is never taken from it.
    bool listen();
    bool isListening() const;
    int waitingConnections() const { return int(m_waiting.size()); }

signals:
    void handOffFinished(bool delivered);
    void argumentsReceived(const QStringList& arguments);

private:
    void finishHandOff(HandOff result, const QString& refusal = {});
    void acceptConnection();
    void readFrom(QLocalSocket* socket);
    void drop(QLocalSocket* socket);
    bool peerIsUser(const QLocalSocket* socket) const;

    QString m_serverName;
    uid_t m_peerUser;
    QLocalServer* m_server = nullptr;
    QList<QPointer<QLocalSocket>> m_waiting;
    QPointer<QLocalSocket> m_client;
    ns::DelayedCall m_timeout;
    bool m_handOffDone = true;
    HandOff m_lastHandOff = HandOff::NoInstance;
    QString m_refusal;
};
