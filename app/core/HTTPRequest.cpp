#include "app/core/HTTPRequest.h"

#include "platform/foundation/Json.h"
#include "platform/foundation/NetworkActivity.h"
#include "platform/foundation/Values.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace {

HTTPError transportError(QNetworkReply::NetworkError error, const QString& text) {
    HTTPError e;
    e.description = text;
    switch (error) {
    case QNetworkReply::OperationCanceledError: // what a transfer time-out arrives as
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
    r->m_request.setTransferTimeout(int(std::max(1.0, timeoutInterval * 1000)));
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
    setNetworkActivity(true);
    m_reply = networkManager().post(m_request, body());
    connect(m_reply, &QNetworkReply::finished, this, &HTTPRequest::finished);
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
    const QVariant parsed = ns::Json::parse(reply->readAll());
    if (m_completion) m_completion(parsed);
}
