#include "sandbox/BillInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/BillingData.h"
#include "sandbox/MainBillInfoInterface.h"
#include "sandbox/Reply.h"

#include <QJsonArray>

namespace sandbox {

void BillInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("Bill"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject BillInterface::handle(const InterfaceCall& call) {
    const QDate month = BillingData::monthOf(call.fields.value("ym"), QDate::currentDate());
    if (!month.isValid()) return Reply::badParameters();
    const QString ym = BillingData::monthKey(month);
    Database& db = call.backend.database();
    const auto yuan = &MainBillInfoInterface::yuan;

    QJsonArray groups;
    qint64 total = 0;
    for (const QVariantMap& g :
         db.query(QStringLiteral("SELECT position, name FROM bill_groups WHERE number = ? AND"
                                 " ym = ? ORDER BY position"),
                  {call.number, ym})) {
        QJsonArray items;
        qint64 sum = 0;
        for (const QVariantMap& i :
             db.query(QStringLiteral("SELECT name, amount_fen FROM bill_items WHERE number = ?"
                                     " AND ym = ? AND group_position = ? ORDER BY position"),
                      {call.number, ym, g.value("position")})) {
            const qint64 fen = i.value("amount_fen").toLongLong();
            sum += fen;
            items.append(QJsonObject{{"name", i.value("name").toString()}, {"amount", yuan(fen)}});
        }
        total += sum;
        groups.append(QJsonObject{
            {"name", g.value("name").toString()}, {"amount", yuan(sum)}, {"list", items}});
    }
    QJsonArray family;
    qint64 familyTotal = 0;
    for (const QVariantMap& i :
         db.query(QStringLiteral("SELECT name, amount_fen FROM bill_items WHERE number = ? AND"
                                 " ym = ? AND group_position = -1 ORDER BY position"),
                  {call.number, ym})) {
        const qint64 fen = i.value("amount_fen").toLongLong();
        familyTotal += fen;
        family.append(QJsonObject{{"name", i.value("name").toString()}, {"amount", yuan(fen)}});
    }
    // A month without a bill (not yet billed, or long gone) has nothing to pay.
    const qint64 othersPay = std::min(
        total, db.scalar(QStringLiteral("SELECT others_pay_fen FROM bill_months WHERE number = ?"
                                        " AND ym = ?"),
                         {call.number, ym})
                   .toLongLong());
    return Reply::ok({{"qry", QJsonObject{{"total", yuan(total)},
                                          {"others_pay", yuan(othersPay)},
                                          {"actually_pay", yuan(total - othersPay)},
                                          {"list", groups},
                                          {"family", family},
                                          {"family_total", yuan(familyTotal)}}}});
}

} // namespace sandbox
