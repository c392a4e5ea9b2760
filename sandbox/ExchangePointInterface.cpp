#include "sandbox/ExchangePointInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/BillingData.h"
#include "sandbox/PictureStore.h"
#include "sandbox/Reply.h"

#include <QJsonArray>

namespace sandbox {

namespace {

qint64 pointsOf(Database& db, const QString& number) {
    return db.scalar(QStringLiteral("SELECT points FROM accounts WHERE number = ?"), {number})
        .toLongLong();
}

QJsonObject query(const InterfaceCall& call) {
    Database& db = call.backend.database();
    const qint64 available = pointsOf(db, call.number);
    const auto year = db.query(QStringLiteral("SELECT added, will_invalid, will_invalid_ym FROM"
                                              " points_years WHERE number = ?"),
                               {call.number});
    const QVariantMap y = year.isEmpty() ? QVariantMap() : year.first();
    QJsonArray list;
    for (const QVariantMap& p : db.query(QStringLiteral(
             "SELECT productid, name, price, picture FROM points_products ORDER BY position"))) {
        const qint64 price = p.value("price").toLongLong();
        list.append(QJsonObject{
            {"picture", PictureStore::urlFor(call.backend, p.value("picture").toString())},
            {"value", QStringLiteral("%1积分").arg(price)},
            {"name", p.value("name").toString()},
            {"productid", p.value("productid").toString()},
            {"sign", available >= price}});
    }
    return Reply::ok({{"added", QString::number(y.value("added").toLongLong())},
                      {"available", available},
                      {"willInvalid", QString::number(y.value("will_invalid").toLongLong())},
                      {"willInvalidYM", y.value("will_invalid_ym").toString()},
                      {"list", list}});
}

QJsonObject exchange(const InterfaceCall& call) {
    Database& db = call.backend.database();
    const auto rows =
        db.query(QStringLiteral("SELECT name, price FROM points_products WHERE productid = ?"),
                 {call.fields.value("productid")});
    if (rows.isEmpty()) return Reply::failure(Reply::kFailed, QStringLiteral("该产品不存在"));
    const qint64 price = rows.first().value("price").toLongLong();
    bool enough = true;
    const bool ok = db.transaction([&] {
        if (!db.exec(QStringLiteral("UPDATE accounts SET points = points - ? WHERE number = ?"
                                    " AND points >= ?"),
                     {price, call.number, price}))
            return false;
        if (db.changes() != 1) {
            enough = false;
            return false;
        }
        return db.exec(QStringLiteral("INSERT INTO points_exchanges (number, productid, name,"
                                      " point, exchanged_at) VALUES (?, ?, ?, ?, ?)"),
                       {call.number, call.fields.value("productid"), rows.first().value("name"),
                        price, BillingData::now()});
    });
    if (!ok)
        return Reply::failure(Reply::kFailed, enough ? QStringLiteral("系统繁忙，请稍后再试")
                                                     : QStringLiteral("您的积分不足，无法兑换！"));
    return Reply::ok();
}

QJsonObject records(const InterfaceCall& call) {
    QJsonArray list;
    for (const QVariantMap& r : call.backend.database().query(
             QStringLiteral("SELECT name, point, exchanged_at FROM points_exchanges WHERE"
                            " number = ? ORDER BY exchanged_at DESC, id DESC"),
             {call.number}))
        list.append(QJsonObject{{"name", r.value("name").toString()},
                                {"point", QString::number(r.value("point").toLongLong())},
                                {"date", r.value("exchanged_at").toString()}});
    return Reply::ok({{"list", list}});
}

} // namespace

void ExchangePointInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("ExchangePoint"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject ExchangePointInterface::handle(const InterfaceCall& call) {
    const QString action = call.fields.value("action");
    if (action == u"0") return query(call);
    if (action == u"1") return exchange(call);
    if (action == u"2") return records(call);
    return Reply::badParameters();
}

} // namespace sandbox
