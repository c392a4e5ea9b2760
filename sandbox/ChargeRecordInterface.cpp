#include "sandbox/ChargeRecordInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/MainBillInfoInterface.h"
#include "sandbox/Reply.h"

#include <QDate>
#include <QJsonArray>

namespace sandbox {

void ChargeRecordInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("ChargeRecord"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject ChargeRecordInterface::handle(const InterfaceCall& call) {
    const QDate today = QDate::currentDate();
    const QDate first = QDate(today.year(), today.month(), 1).addMonths(-5);
    QJsonArray list;
    for (const QVariantMap& r : call.backend.database().query(
             QStringLiteral("SELECT charged_at, amount_fen, fee_type FROM recharges WHERE"
                            " number = ? AND charged_at >= ? ORDER BY charged_at DESC, id DESC"),
             {call.number, first.toString(QStringLiteral("yyyy-MM-dd"))}))
        list.append(
            QJsonObject{{"date", r.value("charged_at").toString()},
                        {"amount", MainBillInfoInterface::yuan(r.value("amount_fen").toLongLong())},
                        {"fee_type", r.value("fee_type").toString()}});
    return Reply::ok({{"list", list}});
}

} // namespace sandbox
