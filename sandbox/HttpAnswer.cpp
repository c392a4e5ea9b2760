#include "sandbox/HttpAnswer.h"

#include <QJsonDocument>
#include <QTcpSocket>
#include <algorithm>

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

QByteArray HttpAnswer::head() const {
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    out += "Content-Type: " + contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    out += "Connection: close\r\n\r\n";
    return out;
}

QByteArray HttpAnswer::toBytes() const {
    return head() + body;
}

void HttpAnswer::queue(QTcpSocket* socket, const QByteArray& bytes) {
    // A socket keeps each buffer written to it until the last byte of that buffer is out: one
    // buffer of megabytes would stay whole in memory while the gate counts it shrinking.
    constexpr qsizetype kPiece = 256 * 1024;
    if (bytes.size() <= kPiece) {
        socket->write(bytes);
        return;
    }
    for (qsizetype at = 0; at < bytes.size(); at += kPiece)
        socket->write(bytes.sliced(at, std::min(kPiece, bytes.size() - at)));
}

void HttpAnswer::sendTo(QTcpSocket* socket) const {
    if (!socket || socket->state() != QAbstractSocket::ConnectedState) return;
    queue(socket, head());
    queue(socket, body);
    socket->disconnectFromHost();
}

void HttpAnswer::sendBytes(QTcpSocket* socket, const QByteArray& response) {
    if (!socket || socket->state() != QAbstractSocket::ConnectedState) return;
    queue(socket, response);
    socket->disconnectFromHost();
}

} // namespace sandbox
