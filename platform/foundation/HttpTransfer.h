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
//
// A request goes out once. The one resend is curl's own, of a request whose kept connection
// turned out closed before a byte of answer; an at-most-once request is never resent. A kept
// connection that still holds bytes from the server (past an earlier answer) is not used: the
// request goes out on a new one instead.
class HttpTransfer : public QObject {
    Q_OBJECT
public:
    // An answer whose head (status line, header lines, trailers) passes this is given up:
    // no head of a real answer comes near it.
    static constexpr qint64 kMaxHeadBytes = 64 * 1024;
    // Redirects followed in one transfer; the next 3xx is the answer.
    static constexpr int kMaxRedirects = 10;

    // End codes: 0 for a whole answer (any status), 2 for a time-out, the platform's negative
    // URL error codes otherwise. What a caller makes of them is its own: HTTPRequest passes
    // them on as they are, a download narrows them (see HttpDownload).
    enum Code {
        Finished = 0,
        TimedOut = 2,
        Unknown = -1,
        CannotFindHost = -1003,
        CannotConnectToHost = -1004,
        // A drop, a body cut short, or a resend refused (see atMostOnce).
        NetworkConnectionLost = -1005,
        // A head past kMaxHeadBytes, a body that announces or brings more than maxBodyBytes,
        // or a connection that brings more than both together, whatever the framing (every
        // byte received counts: kMaxHeadBytes + maxBodyBytes + maxBodyBytes / 16 for framing
        // and encryption).
        DataLengthExceedsMaximum = -1103,
        SecureConnectionFailed = -1200,
    };

    struct Request {
        QUrl url;
        // POST when set (the body is sent as it is, even empty), else GET.
        bool post = false;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        // Redirects (301, 302, 303, 307, 308) are followed with a GET, up to kMaxRedirects,
        // to http or https until the chain has reached https, then to https only. A 3xx that
        // is not followed (no usable Location, or a hop refused) is the answer.
        bool followRedirects = false;
        // A connection of its own that is closed after it, and never a second send: the
        // server receives the request at most once. Otherwise curl may send it once more
        // when a kept connection turns out closed before any answer came.
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

    // Where a redirect from `from` to `location` leads; an empty URL when it is not to be
    // followed: a Location that is empty or not http(s), or http once the chain (`secure`)
    // has reached https.
    static QUrl redirectTarget(const QUrl& from, const QByteArray& location, bool secure);

    struct Job;

private:
    friend class CurlDriver;
    void deliver();

    std::shared_ptr<Job> m_job;
};

} // namespace ns
