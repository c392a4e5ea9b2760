#pragma once

#include "platform/foundation/Clock.h"
#include "platform/foundation/HttpTransfer.h"

#include <QObject>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <functional>

// A transport failure: no reply arrived. Code 2 is a time-out; every other failure has
// another code (negative, after the platform's URL error codes).
struct HTTPError {
    using enum ns::HttpTransfer::Code;
    int code = Unknown;
    QString description;
};

// One form-encoded POST to a server interface whose reply is JSON.
//
// Fields go out percent-encoded (UTF-8) in the order added, duplicates kept. The completion
// gets the parsed reply: a QVariantMap for an object, a QVariantList for an array, an invalid
// QVariant for anything else (empty, HTML, broken, longer than kMaxReplyBytes, with a head past
// ns::HttpTransfer::kMaxHeadBytes, or framing that runs on: such a reply is given up as soon as
// it says so or grows past it). Transport failures go to the failure handler only. The
// time-out interval is for the whole exchange, counted on ns::Clock from the send: a reply
// still arriving then, however steadily it trickles, fails as TimedOut. A request deletes
// itself (deferred) once it has finished, failed or been cancelled; hold it in a QPointer.
// Created with an owner, it dies with the owner and then never calls back.
class HTTPRequest : public QObject {
    Q_OBJECT
public:
    using CompletionHandler = std::function<void(const QVariant& reply)>;
    using FailureHandler = std::function<void(const HTTPError& error)>;

    // The server's largest real reply (a year of daily usage) is some 7 KB; a body hundreds
    // of times that is no reply of ours, and parsing it whole would cost ten times its size.
    static constexpr qint64 kMaxReplyBytes = 2 * 1024 * 1024;

    static HTTPRequest* requestWithURL(const QUrl& url, double timeoutInterval,
                                       QObject* owner = nullptr);
    explicit HTTPRequest(QObject* owner = nullptr);
    ~HTTPRequest() override;

    // A missing value is sent as the empty text.
    void setPostValue(const QVariant& value, const QString& forKey);
    void setCompletionHandler(CompletionHandler handler) { m_completion = std::move(handler); }
    void setFailureHandler(FailureHandler handler) { m_failure = std::move(handler); }
    bool hasFailureHandler() const { return bool(m_failure); }
    // For log-ins and requests that change something: the server receives the body at most
    // once. Any other request goes out a second time in one case only, when the kept-alive
    // connection it went out on turns out closed before any answer (curl's own retry); here
    // that drop reaches the failure handler instead. Such a request goes over a connection of
    // its own, so a pooled connection the server closed meanwhile never makes it fail.
    void setAtMostOnce(bool on) { m_atMostOnce = on; }
    bool atMostOnce() const { return m_atMostOnce; }
    // Sends (again, cancelling a running send).
    void startRequest();
    // Stops the send; neither handler is called.
    void cancleRequest();
    static void setNetworkActivity(bool visible);

    QUrl url() const { return m_url; }
    double timeoutInterval() const { return m_timeout; }
    const QStringList& postData() const { return m_postData; }
    QByteArray body() const;
    bool isRunning() const { return m_transfer.isRunning(); }

    // Requests share one connection pool and one cookie store; this empties the store.
    static void clearCookies();

private:
    void ended(int code, const QString& text);
    void timedOut();
    // Drops a running transfer and what it brought; false when none was running.
    bool endEarly();

    QUrl m_url;
    double m_timeout = 30;
    QStringList m_postData;
    ns::HttpTransfer m_transfer;
    ns::DelayedCall m_deadline;
    QByteArray m_received;
    bool m_atMostOnce = false;
    CompletionHandler m_completion;
    FailureHandler m_failure;
};
