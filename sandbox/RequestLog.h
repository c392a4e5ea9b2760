#pragma once

#include "sandbox/FormFields.h"

#include <QByteArray>
#include <QJsonArray>
#include <QList>
#include <QString>

namespace sandbox {

// One interface request as it arrived.
struct ReceivedRequest {
    QString interfaceName; // "Login" for POST /pelvo/Login.do
    FormFields fields;     // decoded, in order, duplicates kept
    QByteArray body;       // the raw bytes
};

// Every interface request the sandbox received, oldest first.
class RequestLog {
public:
    void append(const ReceivedRequest& request) { m_entries.append(request); }
    void clear() { m_entries.clear(); }
    const QList<ReceivedRequest>& entries() const { return m_entries; }
    QList<ReceivedRequest> entriesFor(const QString& interfaceName) const;

    // [{"interface": name, "fields": [[key, value], ...], "body": raw body as UTF-8}, ...]
    QJsonArray toJson() const;

private:
    QList<ReceivedRequest> m_entries;
};

} // namespace sandbox
