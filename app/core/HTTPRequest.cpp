#include "app/core/HTTPRequest.h"

#include "platform/foundation/Json.h"
#include "platform/foundation/NetworkActivity.h"
#include "platform/foundation/Values.h"

#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <algorithm>
#include <cstring>
#include <utility>

namespace {

HTTPError transportError(QNetworkReply::NetworkError error, const QString& text) {
    HTTPError e;
    e.description = text;
    switch (error) {
    case QNetworkReply::TimeoutError:
        e.code = HTTPError::TimedOut;
        break;
    case QNetworkReply::ConnectionRefusedError:
        e.code = HTTPError::CannotConnectToHost;
        break;
    case QNetworkReply::HostNotFoundError:
        e.code = HTTPError::CannotFindHost;
        break;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ContentReSendError: // an at-most-once body the drop would have resent
        e.code = HTTPError::NetworkConnectionLost;
        break;
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
        e.code = HTTPError::NotConnectedToInternet;
        break;
    case QNetworkReply::SslHandshakeFailedError:
        e.code = HTTPError::SecureConnectionFailed;
        break;
    default:
        e.code = HTTPError::Unknown;
        break;
    }
    return e;
}

// A body that can be read once and never rewound: the network layer resends a dropped POST
// only after rewinding its body, so this one goes out at most once.
class OneShotBody : public QIODevice {
public:
    explicit OneShotBody(QByteArray bytes) : m_bytes(std::move(bytes)) { open(ReadOnly); }
    bool isSequential() const override { return true; }
    bool reset() override { return false; }
    bool atEnd() const override { return m_read >= m_bytes.size(); }
    qint64 size() const override { return m_bytes.size(); }
    qint64 bytesAvailable() const override {
        return m_bytes.size() - m_read + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 n = std::min<qint64>(maxSize, m_bytes.size() - m_read);
        if (n <= 0) return -1;
        std::memcpy(data, m_bytes.constData() + m_read, size_t(n));
        m_read += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_read = 0;
};

// What the network layer may hold for a reply before it is read: the rest waits in the
// connection, so an endless body costs no more than the ceiling.
constexpr qint64 kReadBufferBytes = 256 * 1024;

// The time-out interval as whole milliseconds: at least one, and at most an hour, whatever
// the caller passed (a nonsense interval ends the request at once rather than never).
qint64 deadlineMs(double seconds) {
    if (!(seconds > 0)) return 1;
    return std::max<qint64>(1, qint64(std::min(seconds, 3600.0) * 1000));
}

QString formText(const QString& s) {
    return QString::fromLatin1(QUrl::toPercentEncoding(s));
}

} // namespace

QNetworkAccessManager& HTTPRequest::networkManager() {
    static QNetworkAccessManager* manager = [] {
        auto* m = new QNetworkAccessManager;
        // Replies are judged by their bodies; no redirects, caches or cookies on our behalf
        // beyond the platform's defaults.
        m->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
        return m;
    }();
    return *manager;
}

HTTPRequest* HTTPRequest::requestWithURL(const QUrl& url, double timeoutInterval, QObject* owner) {
    auto* r = new HTTPRequest(owner);
    r->m_request = QNetworkRequest(url);
    r->m_timeout = timeoutInterval;
    r->m_request.setHeader(QNetworkRequest::ContentTypeHeader,
                           QByteArrayLiteral("application/x-www-form-urlencoded; charset=utf-8"));
    r->m_request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                              QNetworkRequest::PreferNetwork);
    return r;
}

HTTPRequest::HTTPRequest(QObject* owner) : QObject(owner) {}

HTTPRequest::~HTTPRequest() {
    if (m_reply) {
        detachReply();
        setNetworkActivity(false);
    }
}

void HTTPRequest::setPostValue(const QVariant& value, const QString& forKey) {
    const QString text =
        ns::Values::isString(value) ? value.toString() : ns::Values::stringValue(value);
    m_postData.append(formText(forKey) + u'=' + formText(text));
}

QByteArray HTTPRequest::body() const {
    return m_postData.join(u'&').toLatin1();
}

void HTTPRequest::startRequest() {
    if (m_reply) detachReply();
    m_received.clear();
    setNetworkActivity(true);
    if (m_atMostOnce) {
        // A manager of its own is a connection of its own; the last one goes with its send.
        delete m_ownManager.data();
        m_ownManager = new QNetworkAccessManager(this);
        m_ownManager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
        const QByteArray bytes = body();
        QNetworkRequest request = m_request;
        request.setAttribute(QNetworkRequest::DoNotBufferUploadDataAttribute, true);
        request.setHeader(QNetworkRequest::ContentLengthHeader, bytes.size());
        auto* device = new OneShotBody(bytes);
        m_reply = m_ownManager->post(request, device);
        device->setParent(m_reply); // read until the reply is gone
    } else {
        m_reply = networkManager().post(m_request, body());
    }
    m_reply->setReadBufferSize(kReadBufferBytes);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        // A length past the ceiling is given up before any of the body comes.
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > kMaxReplyBytes) abandon();
    });
    connect(m_reply, &QNetworkReply::readyRead, this, [this] {
        if (m_reply && !gather(m_reply)) abandon();
    });
    connect(m_reply, &QNetworkReply::finished, this, &HTTPRequest::finished);
    // The network layer's own time-out starts again with every byte, so a server sending one
    // a second would hold the request for ever; this one counts from the send.
    m_deadline.start(deadlineMs(m_timeout), this, [this] { timedOut(); });
}

void HTTPRequest::timedOut() {
    if (!endEarly()) return;
    if (m_failure)
        m_failure(HTTPError{HTTPError::TimedOut, QStringLiteral("the request timed out")});
}

bool HTTPRequest::gather(QNetworkReply* reply) {
    const qint64 room = kMaxReplyBytes - m_received.size();
    m_received += reply->read(room + 1);
    return m_received.size() <= kMaxReplyBytes;
}

void HTTPRequest::abandon() {
    if (endEarly() && m_completion) m_completion(QVariant());
}

bool HTTPRequest::endEarly() {
    if (!m_reply) return false;
    detachReply();
    m_received.clear();
    m_received.squeeze();
    setNetworkActivity(false);
    deleteLater();
    return true;
}

void HTTPRequest::cancleRequest() {
    const bool wasRunning = m_reply != nullptr;
    detachReply();
    setNetworkActivity(false);
    if (wasRunning) deleteLater();
}

void HTTPRequest::setNetworkActivity(bool visible) {
    ns::NetworkActivity::setVisible(visible);
}

void HTTPRequest::detachReply() {
    m_deadline.cancel();
    if (!m_reply) return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void HTTPRequest::finished() {
    QNetworkReply* reply = m_reply;
    if (!reply) return;
    m_reply = nullptr;
    m_deadline.cancel();
    reply->deleteLater();
    setNetworkActivity(false);
    deleteLater();

    // Any HTTP status is a reply: the body is judged, not the status line. Connection-level
    // errors (a time-out or drop mid-body included) are failures whatever arrived before.
    const QNetworkReply::NetworkError error = reply->error();
    const bool answered = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    if (error != QNetworkReply::NoError &&
        (error < QNetworkReply::ContentAccessDenied || !answered)) {
        if (m_failure) m_failure(transportError(error, reply->errorString()));
        return;
    }
    const bool whole = gather(reply);
    const QByteArray bytes = std::exchange(m_received, {});
    const QVariant parsed = whole ? ns::Json::parse(bytes) : QVariant();
    if (m_completion) m_completion(parsed);
}
