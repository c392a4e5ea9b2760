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
// the body, then the end or a failure. Redirects are followed, never from https to http. Any
// callback may cancel, restart or destroy the download; nothing more is reported after that.
// With a ceiling set, a file that announces or brings more than the ceiling fails as
// DataLengthExceedsMaximum as soon as that is known, without a byte past the ceiling being
// handed on; so does a head past HttpTransfer::kMaxHeadBytes. A download still running at its
// deadline() fails then, and so does one that has stayed below a byte a second for its stall
// limit: both as TimedOut.
//
// A resumed download (setResumeFrom) asks for the rest of a file whose beginning the caller
// holds. The rest (206 from that offset) is reported with the offset and counts against the
// ceiling with the bytes held; the whole file (a server that ignores the range) is reported
// with offset 0 and counted from zero; a 416 saying the file is just the bytes held is reported
// as an empty rest (206, the offset, length 0). Any other 206 or 416 means the bytes held are
// not the start of this file: the whole file is asked for again, within the same deadline,
// and only that answer is reported.
class HttpDownload : public QObject {
    Q_OBJECT
public:
    struct Response {
        int status = 0;
        // Header names in lower case.
        QMap<QByteArray, QByteArray> headers;
        // -1 when the server did not say.
        qint64 contentLength = -1;
        // Where the body goes in the file: the resume offset for the rest, else 0 (the whole
        // file, which replaces what the caller holds).
        qint64 offset = 0;
    };
    // Failure codes: the transfer's for a time-out, a file past its ceiling, a host not found
    // or not reached and a lost connection; Unknown for any other.
    using enum HttpTransfer::Code;
    // A download that stays below a byte a second this long fails (HttpTransfer's
    // stallTimeoutMs: an average, in whole seconds, in real time): a server gone silent is
    // given up after a minute rather than at the deadline.
    static constexpr int kStallLimitMs = 60000;
    // Whole-transfer deadlines, counted on ns::Clock from start(): a body still arriving then
    // fails as TimedOut however steadily it trickles. Each is its kind's ceiling at a slow but
    // honest rate. Pictures (at most 4 MiB): two minutes, the largest at 35 KB/s; a real
    // tile or advert of some 100 KB needs 1 KB/s.
    static constexpr qint64 kPictureDeadlineMs = 2 * 60 * 1000;
    // Files and archives (up to 64 MiB, held or unpacked whole): ten minutes, the largest at
    // 110 KB/s, a bundle of a few MB at a few KB/s.
    static constexpr qint64 kDefaultDeadlineMs = 10 * 60 * 1000;

    std::function<void(const Response&)> onResponse;
    std::function<void(const QByteArray& piece)> onData;
    std::function<void()> onFinished;
    std::function<void(int code, const QString& text)> onFailed;

    explicit HttpDownload(QObject* parent = nullptr);
    ~HttpDownload() override;

    // Starts a GET (cancelling a running one) with extra header fields; a "Range" among them
    // is replaced by the download's own (setResumeFrom).
    void start(const QUrl& url, const QMap<QByteArray, QByteArray>& headers = {});
    void cancel();
    bool isRunning() const { return m_transfer.isRunning(); }
    // The most bytes the whole file may have; negative for no ceiling. Set before start().
    void setMaxLength(qint64 bytes) { m_maxLength = bytes; }
    qint64 maxLength() const { return m_maxLength; }
    // The whole transfer's deadline. Set before start().
    void setDeadline(qint64 ms) { m_deadlineMs = ms; }
    qint64 deadline() const { return m_deadlineMs; }
    // See kStallLimitMs. Set before start().
    void setStallLimit(int ms) { m_stallLimitMs = ms; }
    // The caller holds the file's first `offset` bytes and asks for the rest; 0 for the whole
    // file. Set before start().
    void setResumeFrom(qint64 offset) { m_resumeFrom = offset; }

    // The platform's lower-case text for an HTTP status ("not found" for 404).
    static QString statusText(int status);
    // The failure text of a response outside 2xx: the status text and its number.
    static QString statusError(int status);
    // "bytes=<offset>-": the rest of a file from offset on.
    static QByteArray rangeFrom(qint64 offset);

private:
    void send(bool resuming);
    // Whether the answer fits what was asked: false when the whole file must be asked for.
    bool takeResumed(Response* response);
    void reportResponse(const HttpTransfer::Head& head);
    void received(const QByteArray& piece);
    void ended(int code, const QString& text);
    void fail(int code, const QString& text);
    void failTooLarge();
    void failTimedOut();

    HttpTransfer m_transfer;
    QUrl m_url;
    QMap<QByteArray, QByteArray> m_headers;
    bool m_resuming = false;
    // The body bytes this answer may bring beyond the transfer's own ceiling; -1 for none.
    qint64 m_bodyLimit = -1;
    qint64 m_received = 0;
    // A 416's page: no part of the file.
    bool m_discardBody = false;
    qint64 m_maxLength = -1;
    qint64 m_resumeFrom = 0;
    int m_stallLimitMs = kStallLimitMs;
    qint64 m_deadlineMs = kDefaultDeadlineMs;
    DelayedCall m_deadline;
};

// The file a download writes into: bytes go to "<path>.tmp", which the caller moves into place
// (ns::moveIntoPlace) only when the transfer is complete, so an interrupted download never
// leaves a broken file under the final name and can resume from the part file's size.
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

private:
    QString m_finalPath;
    QFile m_file;
};

} // namespace ns
