#include "sandbox/FlowBillInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/FlowData.h"
#include "sandbox/Reply.h"

#include <QJsonArray>
#include <algorithm>
#include <cmath>

namespace sandbox {

namespace {

// The share of a product's data that went, in per cent to one decimal (33.3).
double percentUsed(qint64 used, qint64 size) {
    if (size <= 0) return 0;
    return double(std::clamp<qint64>((used * 1000 + size / 2) / size, 0, 1000)) / 10;
}

} // namespace

void FlowBillInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("FlowBill"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject FlowBillInterface::handle(const InterfaceCall& call) {
    const QString month = call.fields.value("date");
    const QDate first = QDate::fromString(month + "01", QStringLiteral("yyyyMMdd"));
    const QDate today = FlowData::today();
    if (month.size() != 6 || !first.isValid() || first > today)
        return Reply::failure(Reply::kFailed, QStringLiteral("查询月份有误"));
    Database& db = call.backend.database();
    FlowData::fillUsageBefore(db, call.number, today);
    // Usage draws on the plan first, then on the packs in the order they were bought.
    qint64 left = FlowData::usedInMonth(db, call.number, month);
    double cost = 0;
    QJsonArray list;
    auto bill = [&](const FlowProduct& p, bool drawsUsage) {
        const qint64 used = drawsUsage ? std::min(left, p.sizeKb) : 0;
        left -= used;
        cost += p.fee.toDouble();
        list.append(QJsonObject{{"productName", p.name},
                                {"percentage", percentUsed(used, p.sizeKb)},
                                {"fee", FlowData::feeValue(p)}});
    };
    if (const auto plan = FlowData::planOf(db, call.number, month)) bill(*plan, true);
    for (const FlowProduct& p : FlowData::ordersOf(db, call.number, month, "pack"))
        bill(p, true);
    for (const FlowProduct& p : FlowData::ordersOf(db, call.number, month, "spare"))
        bill(p, false);
    // Numbers, as the operator's server sends them: 59.9, never "59.90".
    return Reply::ok({{"list", list}, {"totalCost", std::round(cost * 100) / 100}});
}

} // namespace sandbox
