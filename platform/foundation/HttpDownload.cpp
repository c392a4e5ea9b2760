#include "platform/foundation/HttpDownload.h"

#include "platform/foundation/RegularFile.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <algorithm>
#include <unistd.h>

namespace ns {

namespace {

int errorCode(QNetworkReply::NetworkError error) {
    switch (error) {
    case QNetworkReply::OperationCanceledError: // what a transfer time-out arrives as
    case QNetworkReply::TimeoutError:
        return HttpDownload::TimedOut;
    case QNetworkReply::ConnectionRefusedError:
        return HttpDownload::CannotConnectToHost;
    case QNetworkReply::HostNotFoundError:
        return HttpDownload::CannotFindHost;
    case QNetworkReply::RemoteHostClosedError:
        return HttpDownload::NetworkConnectionLost;
    default:
        return HttpDownload::Unknown;
    }
}

// What the platform may hold for us between two reads: a slow reader slows the sender down
// instead of filling memory.
constexpr qint64 kReadBufferBytes = 1 << 20;

} // namespace

HttpDownload::HttpDownload(QObject* parent) : QObject(parent) {}

HttpDownload::~HttpDownload() {
    cancel();
}

QNetworkAccessManager& HttpDownload::networkManager() {
    static QNetworkAccessManager* manager = new QNetworkAccessManager;
    return *manager;
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
    QNetworkRequest request(url);
    request.setTransferTimeout(kDefaultTimeoutMs);
    for (auto it = headers.cbegin(); it != headers.cend(); ++it)
        request.setRawHeader(it.key(), it.value());
    m_responded = false;
    m_expected = -1;
    m_received = 0;
    QNetworkReply* reply = networkManager().get(request);
    reply->setReadBufferSize(kReadBufferBytes);
    m_reply = reply;
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        if (reply == m_reply) reportResponse();
    });
    connect(reply, &QIODevice::readyRead, this, [this, reply] {
        if (reply != m_reply) return;
        reportResponse();
        if (reply != m_reply) return; // cancelled on the response
        take(reply->readAll());
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        if (reply == m_reply) finished();
    });
    // The transfer time-out above starts again with every byte; this one does not.
    m_deadline.start(std::max<qint64>(1, m_deadlineMs), this, [this] { failTimedOut(); });
}

QNetworkReply* HttpDownload::reply() const {
    return static_cast<QNetworkReply*>(m_reply.data());
}

void HttpDownload::reportResponse() {
    QNetworkReply* reply = this->reply();
    if (m_responded || !reply) return;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) return;
    // A redirect is followed, not reported.
    const int code = status.toInt();
    if (code >= 300 && code < 400 &&
        reply->attribute(QNetworkRequest::RedirectionTargetAttribute).isValid())
        return;
    m_responded = true;
    Response response;
    response.status = code;
    for (const auto& pair : reply->rawHeaderPairs())
        response.headers.insert(pair.first.toLower(), pair.second);
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    response.contentLength = length.isValid() ? length.toLongLong() : -1;
    m_expected = response.contentLength;
    if (onResponse) onResponse(response);
    if (m_reply == reply && m_maxLength >= 0 && m_expected > m_maxLength) failTooLarge();
}

bool HttpDownload::take(const QByteArray& piece) {
    m_received += piece.size();
    if (m_maxLength >= 0 && m_received > m_maxLength) {
        failTooLarge();
        return false;
    }
    if (!piece.isEmpty() && onData) onData(piece);
    return true;
}

void HttpDownload::failTooLarge() {
    detach();
    if (onFailed)
        onFailed(DataLengthExceedsMaximum, QStringLiteral("the resource exceeds the maximum size"));
}

void HttpDownload::failTimedOut() {
    detach();
    if (onFailed) onFailed(TimedOut, QStringLiteral("the request timed out"));
}

void HttpDownload::finished() {
    QNetworkReply* reply = this->reply();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QNetworkReply::NetworkError error = reply->error();
    // A server error page is still a whole answer: the head was reported and the caller
    // judges it. A transfer cut short after the head is a failure.
    if (status.isValid() && (error == QNetworkReply::NoError || status.toInt() >= 400)) {
        reportResponse();
        if (m_reply != reply) return;
        if (!take(reply->readAll()) || m_reply != reply) return;
        // A connection that closes before the announced length is a cut, not an end.
        if (m_expected >= 0 && m_received < m_expected) {
            detach();
            if (onFailed)
                onFailed(NetworkConnectionLost, QStringLiteral("the network connection was lost"));
            return;
        }
        detach();
        if (onFinished) onFinished();
        return;
    }
    const QString text = reply->errorString();
    detach();
    if (onFailed) onFailed(errorCode(error), text);
}

void HttpDownload::detach() {
    m_deadline.cancel();
    QNetworkReply* reply = this->reply();
    if (!reply) return;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->deleteLater();
}

void HttpDownload::cancel() {
    // Deleting the reply (on the next pass) closes its connection; aborting it here could
    // run inside the reply's own signal.
    detach();
}

qint64 PartFile::partialSize() const {
    const QFileInfo info(tempPath());
    return info.isFile() ? info.size() : 0;
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
