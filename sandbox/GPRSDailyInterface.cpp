#include "sandbox/GPRSDailyInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/FlowData.h"
#include "sandbox/Reply.h"

#include <QJsonArray>

namespace sandbox {

void GPRSDailyInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("GPRSDaily"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject GPRSDailyInterface::handle(const InterfaceCall& call) {
    bool ok = true;
    const int count = call.fields.contains("count") ? call.fields.value("count").toInt(&ok) : 30;
    if (!ok || count < 1 || count > 366) return Reply::badParameters();
    QDate until = FlowData::today();
    if (call.fields.contains("date")) {
        until = QDate::fromString(call.fields.value("date"), QStringLiteral("yyyyMMdd"));
        if (!until.isValid()) return Reply::badParameters();
        until = std::min(until, FlowData::today());
    }
    Database& db = call.backend.database();
    FlowData::fillUsageBefore(db, call.number, until);
    const QList<QVariantMap> rows = db.query(
        QStringLiteral("SELECT day, amount_kb FROM (SELECT day, amount_kb FROM flow_daily"
                       " WHERE number = ? AND day < ? ORDER BY day DESC LIMIT ?) ORDER BY day"),
        {call.number, until.toString(QStringLiteral("yyyy-MM-dd")), count});
    QJsonArray list;
    for (const QVariantMap& row : rows)
        list.append(QJsonObject{{"date", row.value("day").toString()},
                                {"amount", row.value("amount_kb").toLongLong()}});
    return Reply::ok({{"list", list}});
}

} // namespace sandbox
