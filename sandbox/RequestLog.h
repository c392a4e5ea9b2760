#pragma once

#include "sandbox/FormFields.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace sandbox {

// One interface request as it arrived (cut down when large: see RequestLog).
struct ReceivedRequest {
    QString interfaceName;  // "Login" for POST /pelvo/Login.do
    FormFields fields;      // decoded, in order, duplicates kept
    QByteArray body;        // the raw bytes
    qsizetype size = -1;    // the body's size as received; -1: body.size()
    bool truncated = false; // body and fields were cut to the log's limit
};

// The latest interface requests the sandbox received, oldest first. Only the last
// maxEntries are kept, each body (and its decoded fields) cut to maxBodyBytes, so a long run
// or a flood of large bodies cannot grow the server without end.
class RequestLog {
public:
    struct Limits {
        qsizetype maxEntries = 1000;
        qsizetype maxBodyBytes = 4096;
    };

    RequestLog() = default;
    explicit RequestLog(Limits limits) : m_limits(limits) {}

    void append(ReceivedRequest request);
    void clear() {
        m_entries.clear();
        m_dropped = 0;
    }
    const QList<ReceivedRequest>& entries() const { return m_entries; }
    QList<ReceivedRequest> entriesFor(const QString& interfaceName) const;
    const Limits& limits() const { return m_limits; }
    // Requests dropped from the front since the log was created or cleared.
    qint64 dropped() const { return m_dropped; }

    // One page for GET /sandbox/requests, secrets masked:
    // {"total": n, "offset": o, "dropped": d, "requests": [{"interface": name,
    //   "fields": [[key, value], ...], "body": raw body as UTF-8, "size": bytes,
    //   "truncated": bool}, ...], "next": "/sandbox/requests?offset=..&limit=.."}
    // ("next" only while more entries follow).
    QJsonObject page(qsizetype offset, qsizetype limit) const;

    // Form keys whose values never leave the server: any holding "pass", "pwd" or "session"
    // (a session token signs in as well as a password does).
    static bool isSecretKey(const QString& key);
    static QByteArray maskBody(const QByteArray& body);
    static constexpr const char* kMask = "***";

private:
    Limits m_limits;
    QList<ReceivedRequest> m_entries;
    qint64 m_dropped = 0;
};

} // namespace sandbox
