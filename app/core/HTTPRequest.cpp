#include "app/core/HTTPRequest.h"

#include "platform/foundation/Json.h"
#include "platform/foundation/NetworkActivity.h"
#include "platform/foundation/Values.h"

#include <algorithm>
#include <utility>

namespace {

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

HTTPRequest* HTTPRequest::requestWithURL(const QUrl& url, double timeoutInterval, QObject* owner) {
    auto* r = new HTTPRequest(owner);
    r->m_url = url;
    r->m_timeout = timeoutInterval;
    return r;
}

HTTPRequest::HTTPRequest(QObject* owner) : QObject(owner) {}

HTTPRequest::~HTTPRequest() {
    if (m_transfer.isRunning()) {
        m_transfer.cancel();
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

void HTTPRequest::clearCookies() {
    ns::HttpTransfer::clearCookies();
}

void HTTPRequest::startRequest() {
    m_transfer.cancel();
    m_deadline.cancel();
    m_received.clear();
    setNetworkActivity(true);
    ns::HttpTransfer::Request request;
    request.url = m_url;
    request.post = true;
    request.body = body();
    request.headers = {{"Content-Type", "application/x-www-form-urlencoded; charset=utf-8"}};
    request.atMostOnce = m_atMostOnce;
    request.cookies = true;
    // A length past the ceiling is given up before any of the body comes, a longer body
    // as it passes the ceiling.
    request.maxBodyBytes = kMaxReplyBytes;
    m_transfer.onHead = nullptr;
    m_transfer.onData = [this](const QByteArray& piece) { m_received += piece; };
    m_transfer.onEnd = [this](int code, const QString& text) { ended(code, text); };
    m_transfer.start(request);
    // Counted from the send, however the bytes come: a server sending one a second, or a
    // head without end, is given up here.
    m_deadline.start(deadlineMs(m_timeout), this, [this] { timedOut(); });
}

void HTTPRequest::timedOut() {
    if (!endEarly()) return;
    if (m_failure)
        m_failure(HTTPError{HTTPError::TimedOut, QStringLiteral("the request timed out")});
}

bool HTTPRequest::endEarly() {
    if (!m_transfer.isRunning()) return false;
    m_transfer.cancel();
    m_deadline.cancel();
    m_received.clear();
    m_received.squeeze();
    setNetworkActivity(false);
    deleteLater();
    return true;
}

void HTTPRequest::cancleRequest() {
    const bool wasRunning = m_transfer.isRunning();
    m_transfer.cancel();
    m_deadline.cancel();
    setNetworkActivity(false);
    if (wasRunning) deleteLater();
}

void HTTPRequest::setNetworkActivity(bool visible) {
    ns::NetworkActivity::setVisible(visible);
}

void HTTPRequest::ended(int code, const QString& text) {
    m_deadline.cancel();
    setNetworkActivity(false);
    deleteLater();
    const QByteArray bytes = std::exchange(m_received, {});
    // Any HTTP status is a reply: the body is judged, not the status line. A reply past a
    // ceiling is an unusable one; a connection-level failure (a drop mid-body included) is a
    // failure whatever arrived before.
    if (code == ns::HttpTransfer::DataLengthExceedsMaximum) {
        if (m_completion) m_completion(QVariant());
        return;
    }
    if (code != ns::HttpTransfer::Finished) {
        if (m_failure) m_failure(HTTPError{code, text});
        return;
    }
    if (m_completion) m_completion(ns::Json::parse(bytes));
}
