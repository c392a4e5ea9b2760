#include "sandbox/OrderInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/FlowData.h"
#include "sandbox/Reply.h"

namespace sandbox {

void OrderInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("Order"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject OrderInterface::handle(const InterfaceCall& call) {
    bool ok = false;
    const qint64 target = call.fields.value("target").toLongLong(&ok);
    if (!ok || call.fields.value("action") != "1") return Reply::badParameters();
    Database& db = call.backend.database();
    QString refusal;
    const bool done = db.transaction([&] {
        refusal = FlowData::order(db, call.number, target, call.fields.value("marketid"));
        return refusal.isEmpty();
    });
    if (!done)
        return Reply::failure(Reply::kFailed,
                              refusal.isEmpty() ? QStringLiteral("系统繁忙，请稍后再试") : refusal);
    return Reply::ok({}, QStringLiteral("订购成功"));
}

} // namespace sandbox
