#include "sandbox/HttpAnswer.h"

#include <QJsonDocument>
#include <QTcpSocket>

namespace sandbox {

namespace {

const char* reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 413:
        return "Content Too Large";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 503:
        return "Service Unavailable";
    case 505:
        return "HTTP Version Not Supported";
    default:
        return "Status";
    }
}

} // namespace

HttpAnswer HttpAnswer::json(const QJsonObject& object, int status) {
    return {status, "application/json;charset=UTF-8",
            QJsonDocument(object).toJson(QJsonDocument::Compact)};
}

HttpAnswer HttpAnswer::json(const QJsonArray& array, int status) {
    return {status, "application/json;charset=UTF-8",
            QJsonDocument(array).toJson(QJsonDocument::Compact)};
}

HttpAnswer HttpAnswer::html(const QByteArray& page, int status) {
    return {status, "text/html;charset=UTF-8", page};
}

HttpAnswer HttpAnswer::empty() {
    return {200, "application/json;charset=UTF-8", {}};
}

QByteArray HttpAnswer::toBytes() const {
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    out += "Content-Type: " + contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    out += "Connection: close\r\n\r\n";
    // No spare room: the socket keeps this very buffer until the client has taken all of it.
    out.reserve(out.size() + body.size());
    out += body;
    return out;
}

void HttpAnswer::sendTo(QTcpSocket* socket) const {
    if (!socket || socket->state() != QAbstractSocket::ConnectedState) return;
    socket->write(toBytes());
    socket->disconnectFromHost();
}

} // namespace sandbox
