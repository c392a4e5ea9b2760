#include "platform/foundation/HttpDownload.h"

#include "platform/foundation/RegularFile.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <unistd.h>

namespace ns {

HttpDownload::HttpDownload(QObject* parent) : QObject(parent) {}

HttpDownload::~HttpDownload() {
    cancel();
}

QString HttpDownload::statusError(int status) {
    return QStringLiteral("%1 (%2)").arg(statusText(status)).arg(status);
}

QByteArray HttpDownload::rangeFrom(qint64 offset) {
    return "bytes=" + QByteArray::number(offset) + "-";
}

QString HttpDownload::statusText(int status) {
    switch (status) {
    case 400:
        return QStringLiteral("bad request");
    case 401:
        return QStringLiteral("unauthorized");
    case 403:
        return QStringLiteral("forbidden");
    case 404:
        return QStringLiteral("not found");
    case 410:
        return QStringLiteral("no longer exists");
    case 416:
        return QStringLiteral("requested range not satisfiable");
    case 500:
        return QStringLiteral("internal server error");
    case 502:
        return QStringLiteral("bad gateway");
    case 503:
        return QStringLiteral("service unavailable");
    default:
        if (status >= 400 && status < 500) return QStringLiteral("client error");
        if (status >= 500) return QStringLiteral("server error");
        return QStringLiteral("unknown status");
    }
}

void HttpDownload::start(const QUrl& url, const QMap<QByteArray, QByteArray>& headers) {
    cancel();
    HttpTransfer::Request request;
    request.url = url;
    for (auto it = headers.cbegin(); it != headers.cend(); ++it)
        request.headers.append({it.key(), it.value()});
    request.followRedirects = true;
    request.maxBodyBytes = m_maxLength;
    request.stallTimeoutMs = kDefaultTimeoutMs;
    m_expected = -1;
    m_received = 0;
    m_transfer.onHead = [this](const HttpTransfer::Head& head) { reportResponse(head); };
    m_transfer.onData = [this](const QByteArray& piece) {
        m_received += piece.size();
        if (onData) onData(piece);
    };
    m_transfer.onEnd = [this](int code, const QString& text) { ended(code, text); };
    m_transfer.start(request);
    // The stall time-out above starts again with every byte; this one does not.
    m_deadline.start(std::max<qint64>(1, m_deadlineMs), this, [this] { failTimedOut(); });
}

void HttpDownload::reportResponse(const HttpTransfer::Head& head) {
    Response response;
    response.status = head.status;
    response.headers = head.headers;
    response.contentLength = head.contentLength;
    m_expected = response.contentLength;
    if (onResponse) onResponse(response);
}

void HttpDownload::failTimedOut() {
    detach();
    if (onFailed) onFailed(TimedOut, QStringLiteral("the request timed out"));
}

void HttpDownload::ended(int code, const QString& text) {
    m_deadline.cancel();
    switch (code) {
    case HttpTransfer::Finished:
        // A server error page is still a whole answer: the head was reported and the caller
        // judges it. A connection that closes before the announced length is a cut, not an end.
        if (m_expected >= 0 && m_received < m_expected) {
            if (onFailed)
                onFailed(NetworkConnectionLost, QStringLiteral("the network connection was lost"));
            return;
        }
        if (onFinished) onFinished();
        return;
    case HttpTransfer::DataLengthExceedsMaximum:
    case HttpTransfer::TimedOut:
    case HttpTransfer::CannotFindHost:
    case HttpTransfer::CannotConnectToHost:
    case HttpTransfer::NetworkConnectionLost:
        if (onFailed) onFailed(code, text);
        return;
    default:
        if (onFailed) onFailed(Unknown, text);
        return;
    }
}

void HttpDownload::detach() {
    m_deadline.cancel();
    m_transfer.cancel();
}

void HttpDownload::cancel() {
    detach();
}

qint64 PartFile::partialSize() const {
    // A link in the part file's place is no part of this download (its open replaces it):
    // its target's size is not bytes already here.
    const QFileInfo info(tempPath());
    return info.isFile() && !info.isSymLink() ? info.size() : 0;
}

bool PartFile::open(bool append) {
    close();
    QDir().mkpath(QFileInfo(m_finalPath).absolutePath());
    const int fd = openRegularFileForWriting(tempPath(), append);
    if (fd < 0) return false;
    if (m_file.open(fd, QIODevice::WriteOnly | (append ? QIODevice::Append : QIODevice::NotOpen),
                    QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    return false;
}

bool PartFile::write(const QByteArray& bytes) {
    return m_file.isOpen() && m_file.write(bytes) == bytes.size();
}

void PartFile::close() {
    if (m_file.isOpen()) m_file.close();
}

bool PartFile::commit() {
    close();
    if (!QFileInfo::exists(tempPath())) return false;
    QFile::remove(m_finalPath);
    return QFile::rename(tempPath(), m_finalPath);
}

} // namespace ns
