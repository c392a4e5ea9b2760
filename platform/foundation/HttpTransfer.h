#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

namespace ns {

// One HTTP exchange, carried by libcurl on the main loop: curl's sockets are watched by the
// event loop and each wake-up reads a bounded amount, so a timer (a deadline on ns::Clock)
// runs between reads however fast or endlessly the bytes come, and cancel() takes effect at
// once. Every transfer of the process shares one connection pool.
//
// What arrives is handed on from the main loop, never from inside curl: the final head (a
// followed redirect or an interim 1xx is not reported), the body in pieces, then the end.
// Any callback may cancel the transfer or destroy it; nothing is reported after that.
class HttpTransfer : public QObject {
    Q_OBJECT
public:
    // An answer whose head (status line, header lines, trailers) passes this is given up:
    // no head of a real answer comes near it.
    static constexpr qint64 kMaxHeadBytes = 64 * 1024;

    // End codes: 0 for a whole answer (any status), 2 for a time-out, the platform's negative
    // URL error codes otherwise. The request and download layers report them as they are.
    enum Code {
        Finished = 0,
        TimedOut = 2,
        Unknown = -1,
        CannotFindHost = -1003,
        CannotConnectToHost = -1004,
        NetworkConnectionLost = -1005,
        NotConnectedToInternet = -1009,
        // A head past kMaxHeadBytes, or a body that announces or brings more than maxBodyBytes.
        DataLengthExceedsMaximum = -1103,
        SecureConnectionFailed = -1200,
    };

    struct Request {
        QUrl url;
        // POST when set (the body is sent as it is, even empty), else GET.
        bool post = false;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        // Redirects are followed, never from https to http; else a 3xx is the answer.
        bool followRedirects = false;
        // A connection of its own that is closed after it, and no second send when it drops:
        // the server receives the request at most once. Otherwise a request the server drops
        // before a byte of answer is sent once more, as a pooled connection may have closed.
        bool atMostOnce = false;
        // Sends and keeps the cookies of the shared store.
        bool cookies = false;
        // The most body bytes taken; negative for no ceiling.
        qint64 maxBodyBytes = -1;
        // Fails as TimedOut once the rate (libcurl's average over its last few seconds) has
        // stayed below one byte a second for this long, counted in whole seconds rounded down
        // (one at least) of real time, not ns::Clock; 0 for never.
        int stallTimeoutMs = 0;
    };
    struct Head {
        int status = 0;
        // Names in lower case; repeated fields joined with ", ".
        QMap<QByteArray, QByteArray> headers;
        // -1 when the server did not say.
        qint64 contentLength = -1;
    };

    std::function<void(const Head&)> onHead;
    std::function<void(const QByteArray& piece)> onData;
    std::function<void(int code, const QString& text)> onEnd;

    explicit HttpTransfer(QObject* parent = nullptr);
    ~HttpTransfer() override;

    // Starts the exchange, cancelling a running one.
    void start(const Request& request);
    // Ends the exchange and closes its connection; nothing more is reported.
    void cancel();
    bool isRunning() const { return m_job != nullptr; }

    // Forgets every cookie of the shared store.
    static void clearCookies();

    struct Job;

private:
    friend class CurlDriver;
    void deliver();

    std::shared_ptr<Job> m_job;
};

} // namespace ns
