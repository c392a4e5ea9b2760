#include "sandbox/RequestLog.h"

#include <QJsonObject>

namespace sandbox {

QList<ReceivedRequest> RequestLog::entriesFor(const QString& interfaceName) const {
    QList<ReceivedRequest> found;
    for (const ReceivedRequest& r : m_entries)
        if (r.interfaceName == interfaceName) found.append(r);
    return found;
}

QJsonArray RequestLog::toJson() const {
    QJsonArray list;
    for (const ReceivedRequest& r : m_entries) {
        QJsonArray fields;
        for (const FormFields::Item& item : r.fields.items())
            fields.append(QJsonArray{item.first, item.second});
        list.append(QJsonObject{{"interface", r.interfaceName},
                                {"fields", fields},
                                {"body", QString::fromUtf8(r.body)}});
    }
    return list;
}

} // namespace sandbox
