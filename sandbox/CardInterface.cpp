#include "sandbox/CardInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/BillingData.h"
#include "sandbox/Reply.h"

namespace sandbox {

void CardInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("Card"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject CardInterface::handle(const InterfaceCall& call) {
    Database& db = call.backend.database();
    const QString cardno = call.fields.value("cardno");
    const auto rows = db.query(
        QStringLiteral("SELECT password, amount_fen, used_by FROM recharge_cards WHERE cardno = ?"),
        {cardno});
    if (rows.isEmpty() || rows.first().value("password").toString() != call.fields.value("cardpwd"))
        return Reply::failure(Reply::kFailed, QStringLiteral("充值卡卡号或密码错误"));
    if (!rows.first().value("used_by").isNull())
        return Reply::failure(Reply::kFailed, QStringLiteral("该充值卡已被使用"));
    const qint64 fen = rows.first().value("amount_fen").toLongLong();
    // The card is spent only together with the credit it gives, and only once.
    bool spent = false;
    const bool ok = db.transaction([&] {
        if (!db.exec(QStringLiteral("UPDATE recharge_cards SET used_by = ?, used_at = ?"
                                    " WHERE cardno = ? AND used_by IS NULL"),
                     {call.number, BillingData::now(), cardno}))
            return false;
        if (db.changes() != 1) return false;
        spent = true;
        return BillingData::credit(db, call.number, fen, QStringLiteral("充值卡"));
    });
    if (!ok)
        return Reply::failure(Reply::kFailed, spent ? QStringLiteral("系统繁忙，请稍后再试")
                                                    : QStringLiteral("该充值卡已被使用"));
    return Reply::ok();
}

} // namespace sandbox
