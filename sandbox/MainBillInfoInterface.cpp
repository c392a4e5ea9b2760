#include "sandbox/MainBillInfoInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/Reply.h"

#include <QDateTime>

namespace sandbox {

void MainBillInfoInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("MainBillInfo"), InterfaceRegistry::Access::Session, &handle);
}

QString MainBillInfoInterface::yuan(qint64 fen) {
    const qint64 magnitude = fen < 0 ? -fen : fen;
    return QStringLiteral("%1%2.%3")
        .arg(fen < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 100)
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

QJsonObject MainBillInfoInterface::handle(const InterfaceCall& call) {
    const auto rows = call.backend.database().query(
        QStringLiteral("SELECT balance_fen, month_charge_fen FROM accounts WHERE number = ?"),
        {call.number});
    // A subscriber without an account row has neither credit nor charges yet.
    const qint64 balance = rows.isEmpty() ? 0 : rows.first().value("balance_fen").toLongLong();
    const qint64 charges = rows.isEmpty() ? 0 : rows.first().value("month_charge_fen").toLongLong();
    return Reply::ok(
        {{"current", QJsonObject{{"remain", yuan(balance)}, {"telephone_fare", yuan(charges)}}},
         {"currentime",
          QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))}});
}

} // namespace sandbox
