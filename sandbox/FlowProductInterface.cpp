#include "sandbox/FlowProductInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/FlowData.h"
#include "sandbox/Reply.h"

#include <QJsonArray>

namespace sandbox {

void FlowProductInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("FlowProduct"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject FlowProductInterface::handle(const InterfaceCall& call) {
    Database& db = call.backend.database();
    const QString position = call.fields.value("position");
    QJsonArray list;
    if (position == "0") {
        for (const FlowProduct& p : FlowData::catalogue(db, "pack"))
            if (p.recommended) list.append(FlowData::record(db, call.number, p, true));
    } else if (position == "2") {
        // The next plans up from the current one that the line's network can take.
        const auto current =
            FlowData::planOf(db, call.number, FlowData::monthKey(FlowData::today()));
        const bool is4g = FlowData::is4g(db, call.number);
        for (const FlowProduct& p : FlowData::catalogue(db, "plan")) {
            if (list.size() == 2) break;
            if (p.network == "4g" && !is4g) continue;
            if (current && p.sizeKb <= current->sizeKb) continue;
            list.append(FlowData::record(db, call.number, p, true));
        }
    } else {
        return Reply::badParameters();
    }
    return Reply::ok({{"list", list}});
}

} // namespace sandbox
