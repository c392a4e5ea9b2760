#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include "platform/foundation/Clock.h"

class QLocalServer;
class QLocalSocket;

// One running instance per user and sandbox. A later launch hands its arguments to the
// running instance over a local socket (owner-only) and exits.
//
// Wire format: a 4-byte big-endian length, then a JSON array of strings in UTF-8; the
// receiver answers one byte "1" once it has taken the list.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxMessageBytes = 64 * 1024;

    explicit SingleInstance(QString key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Derived from the user and the sandbox home, so separate sandboxes run side by side.
    static QString defaultKey();
    QString serverName() const { return m_serverName; }

    // Tries to give the arguments to a running instance; handOffFinished reports the result.
    void handOff(const QStringList& arguments, int timeoutMs = 3000);
    // Becomes the running instance. A socket left behind by a crashed instance is replaced.
    bool listen();
    bool isListening() const;

signals:
    void handOffFinished(bool delivered);
    void argumentsReceived(const QStringList& arguments);

private:
    void finishHandOff(bool delivered);
    void acceptConnection();
    void readFrom(QLocalSocket* socket);

    QString m_serverName;
    QLocalServer* m_server = nullptr;
    QPointer<QLocalSocket> m_client;
    ns::DelayedCall m_timeout;
    bool m_handOffDone = true;
};
