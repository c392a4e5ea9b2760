#include "sandbox/GPRSMonthlyInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/FlowData.h"
#include "sandbox/Reply.h"

#include <QJsonArray>

namespace sandbox {

void GPRSMonthlyInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("GPRSMonthly"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject GPRSMonthlyInterface::handle(const InterfaceCall& call) {
    Database& db = call.backend.database();
    const QDate today = FlowData::today();
    FlowData::fillUsageBefore(db, call.number, today);
    const QDate first(today.year(), today.month(), 1);
    QJsonArray list;
    qint64 pastTotal = 0;
    constexpr int kMonths = 6;
    for (int back = kMonths - 1; back >= 0; --back) {
        const QDate month = first.addMonths(-back);
        const qint64 used = FlowData::usedInMonth(db, call.number, FlowData::monthKey(month));
        if (back > 0) pastTotal += used;
        list.append(QJsonObject{{"date", month.toString(QStringLiteral("MM"))}, {"amount", used}});
    }
    // The running month is not over: the average is of the whole months before it.
    return Reply::ok({{"list", list}, {"average", pastTotal / (kMonths - 1)}});
}

} // namespace sandbox
