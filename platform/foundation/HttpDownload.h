#pragma once

#include "platform/foundation/Clock.h"
#include "platform/foundation/HttpTransfer.h"

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

namespace ns {

// One HTTP GET on the main loop that reports as it goes: the response head, each piece of
// the body, then the end or a failure. Redirects are followed, never from https to http. A
// cancelled transfer reports nothing more; a destroyed one cancels itself. With a ceiling set,
// a body that announces or brings more than the ceiling fails as DataLengthExceedsMaximum as
// soon as that is known, without a byte past the ceiling being handed on; so does a head past
// HttpTransfer::kMaxHeadBytes. A transfer that stalls fails after
// kDefaultTimeoutMs, and one still running at its deadline() fails then: both as TimedOut.
class HttpDownload : public QObject {
    Q_OBJECT
public:
    struct Response {
        int status = 0;
        // Header names in lower case.
        QMap<QByteArray, QByteArray> headers;
        // -1 when the server did not say.
        qint64 contentLength = -1;
    };
    // Failure codes: the transfer's (2 for a time-out, the platform's negative URL error
    // codes otherwise).
    using enum HttpTransfer::Code;
    // The platform's default: a transfer that stalls this long fails as a time-out.
    static constexpr int kDefaultTimeoutMs = 60000;
    // Whole-transfer deadlines, counted on ns::Clock from start(): a body still arriving then
    // fails as TimedOut however steadily it trickles. Each is its kind's ceiling at a slow but
    // honest rate. Pictures (at most 4 MiB): two minutes, the largest at 35 KB/s; a real
    // tile or advert of some 100 KB needs 1 KB/s.
    static constexpr qint64 kPictureDeadlineMs = 2 * 60 * 1000;
    // Files and archives (up to 64 MiB, held or unpacked whole): ten minutes, the largest at
    // 110 KB/s, a bundle of a few MB at a few KB/s.
    static constexpr qint64 kDefaultDeadlineMs = 10 * 60 * 1000;

    std::function<void(const Response&)> onResponse; // may cancel()
    std::function<void(const QByteArray& piece)> onData;
    std::function<void()> onFinished;
    std::function<void(int code, const QString& text)> onFailed;

    explicit HttpDownload(QObject* parent = nullptr);
    ~HttpDownload() override;

    // Starts a GET (cancelling a running one) with extra header fields.
    void start(const QUrl& url, const QMap<QByteArray, QByteArray>& headers = {});
    void cancel();
    bool isRunning() const { return m_transfer.isRunning(); }
    // The most body bytes this transfer takes; negative for no ceiling. Set before start().
    void setMaxLength(qint64 bytes) { m_maxLength = bytes; }
    qint64 maxLength() const { return m_maxLength; }
    // The whole transfer's deadline. Set before start().
    void setDeadline(qint64 ms) { m_deadlineMs = ms; }
    qint64 deadline() const { return m_deadlineMs; }

    // The platform's lower-case text for an HTTP status ("not found" for 404).
    static QString statusText(int status);
    // The failure text of a response outside 2xx: the status text and its number.
    static QString statusError(int status);
    // "bytes=<offset>-": the rest of a file from offset on.
    static QByteArray rangeFrom(qint64 offset);

private:
    void reportResponse(const HttpTransfer::Head& head);
    void ended(int code, const QString& text);
    void detach();
    void failTimedOut();

    HttpTransfer m_transfer;
    qint64 m_expected = -1;
    qint64 m_received = 0;
    qint64 m_maxLength = -1;
    qint64 m_deadlineMs = kDefaultDeadlineMs;
    DelayedCall m_deadline;
};

// The file a download writes into: bytes go to "<path>.tmp", which takes the final name only
// when the transfer is complete, so an interrupted download never leaves a broken file under
// the final name and can resume from the part file's size.
class PartFile {
public:
    explicit PartFile(const QString& finalPath) : m_finalPath(finalPath) {}
    ~PartFile() { close(); }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    static QString tempPathFor(const QString& finalPath) { return finalPath + ".tmp"; }
    QString tempPath() const { return tempPathFor(m_finalPath); }
    QString finalPath() const { return m_finalPath; }
    // Bytes already in the part file (0 when there is none).
    qint64 partialSize() const;

    // Opens the part file, appending to what is there or starting it anew.
    bool open(bool append);
    bool isOpen() const { return m_file.isOpen(); }
    bool write(const QByteArray& bytes);
    void close();
    // Closes and moves the part file to the final name, replacing an older file.
    bool commit();

private:
    QString m_finalPath;
    QFile m_file;
};

} // namespace ns
