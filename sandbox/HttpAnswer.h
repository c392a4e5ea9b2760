#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>

class QTcpSocket;

namespace sandbox {

// One HTTP response. Every response closes its connection, so a client never resends a
// request on a reused connection that the sandbox dropped on purpose.
struct HttpAnswer {
    int status = 200;
    QByteArray contentType;
    QByteArray body;

    static HttpAnswer json(const QJsonObject& object, int status = 200);
    static HttpAnswer json(const QJsonArray& array, int status = 200);
    static HttpAnswer html(const QByteArray& page, int status);
    static HttpAnswer empty();

    // The whole response: status line, headers, body.
    QByteArray toBytes() const;
    // Writes the response and closes the connection once it has gone out. Nothing when the
    // client is already gone.
    void sendTo(QTcpSocket* socket) const;
    // The same for a response already made. Both queue it in pieces, each freed once written,
    // so what an answer holds shrinks as its client reads (the gate counts what is queued).
    static void sendBytes(QTcpSocket* socket, const QByteArray& response);

private:
    static void queue(QTcpSocket* socket, const QByteArray& bytes);
    QByteArray head() const;
};

} // namespace sandbox
