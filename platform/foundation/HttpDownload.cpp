#include "platform/foundation/HttpDownload.h"

#include "platform/foundation/RegularFile.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <algorithm>
#include <unistd.h>

namespace ns {

namespace {

// "bytes <first>-<last>/<length>" or "bytes */<length>"; -1 for what it does not say.
struct ContentRange {
    qint64 first = -1;
    qint64 length = -1;
};

qint64 count(const QByteArray& digits) {
    bool ok = false;
    const qint64 n = digits.toLongLong(&ok);
    return ok && n >= 0 ? n : -1;
}

ContentRange contentRange(const QByteArray& value) {
    const QByteArray text = value.trimmed();
    if (!text.startsWith("bytes ")) return {};
    const QList<QByteArray> parts = text.mid(6).split('/');
    if (parts.size() != 2) return {};
    ContentRange range;
    range.length = count(parts[1]);
    const qsizetype dash = parts[0].indexOf('-');
    if (dash > 0) range.first = count(parts[0].left(dash));
    return range;
}

} // namespace

HttpDownload::HttpDownload(QObject* parent) : QObject(parent) {
    m_transfer.onHead = [this](const HttpTransfer::Head& head) { reportResponse(head); };
    m_transfer.onData = [this](const QByteArray& piece) { received(piece); };
    m_transfer.onEnd = [this](int code, const QString& text) { ended(code, text); };
}

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
    m_url = url;
    m_headers = headers;
    send(m_resumeFrom > 0);
    m_deadline.start(std::max<qint64>(1, m_deadlineMs), this, [this] { failTimedOut(); });
}

void HttpDownload::send(bool resuming) {
    m_resuming = resuming;
    m_bodyLimit = -1;
    m_received = 0;
    m_discardBody = false;
    HttpTransfer::Request request;
    request.url = m_url;
    for (auto it = m_headers.cbegin(); it != m_headers.cend(); ++it)
        if (it.key().compare("range", Qt::CaseInsensitive) != 0)
            request.headers.append({it.key(), it.value()});
    if (resuming) request.headers.append({"Range", rangeFrom(m_resumeFrom)});
    request.followRedirects = true;
    request.maxBodyBytes = m_maxLength;
    request.stallTimeoutMs = m_stallLimitMs;
    m_transfer.start(request);
}

bool HttpDownload::takeResumed(Response* response) {
    const ContentRange range = contentRange(response->headers.value("content-range"));
    if (response->status == 206) {
        if (range.first != m_resumeFrom) return false;
        response->offset = m_resumeFrom;
        return true;
    }
    if (response->status == 416) {
        if (range.length != m_resumeFrom) return false;
        // The bytes held are the whole file: nothing is left to come.
        response->status = 206;
        response->contentLength = 0;
        response->offset = m_resumeFrom;
        m_discardBody = true;
    }
    return true;
}

void HttpDownload::reportResponse(const HttpTransfer::Head& head) {
    Response response;
    response.status = head.status;
    response.headers = head.headers;
    response.contentLength = head.contentLength;
    if (m_resuming && !takeResumed(&response)) {
        send(false);
        return;
    }
    if (m_maxLength >= 0 && response.offset > 0) {
        m_bodyLimit = m_maxLength - response.offset;
        if (m_bodyLimit < 0 || response.contentLength > m_bodyLimit) {
            failTooLarge();
            return;
        }
    }
    if (onResponse) onResponse(response);
}

void HttpDownload::received(const QByteArray& piece) {
    if (m_discardBody) return;
    m_received += piece.size();
    if (m_bodyLimit >= 0 && m_received > m_bodyLimit) {
        failTooLarge();
        return;
    }
    if (onData) onData(piece);
}

void HttpDownload::failTooLarge() {
    fail(DataLengthExceedsMaximum, QStringLiteral("the resource exceeds the maximum size"));
}

void HttpDownload::failTimedOut() {
    fail(TimedOut, QStringLiteral("the request timed out"));
}

void HttpDownload::fail(int code, const QString& text) {
    cancel();
    if (onFailed) onFailed(code, text);
}

void HttpDownload::ended(int code, const QString& text) {
    m_deadline.cancel();
    switch (code) {
    case HttpTransfer::Finished:
        // A server error page is still a whole answer: the head was reported and the caller
        // judges it.
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

void HttpDownload::cancel() {
    m_deadline.cancel();
    m_transfer.cancel();
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

} // namespace ns
