#include "sandbox/FlowRecommendInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/FlowData.h"
#include "sandbox/Reply.h"

#include <QJsonArray>

namespace sandbox {

void FlowRecommendInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("FlowRecommend"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject FlowRecommendInterface::handle(const InterfaceCall& call) {
    const QString type = call.fields.value("type");
    if (type != "0" && type != "1") return Reply::badParameters();
    Database& db = call.backend.database();
    auto listOf = [&](const QString& kind) {
        QJsonArray list;
        for (const FlowProduct& p : FlowData::catalogue(db, kind))
            if (p.network == "any" || (type == "1") == (p.network == "4g"))
                list.append(FlowData::record(db, call.number, p, false));
        return list;
    };
    const QJsonArray maplist = {
        QJsonObject{{"position", 1}, {"list", listOf("plan")}},
        QJsonObject{{"position", 2}, {"list", listOf("pack")}},
        QJsonObject{{"position", 3}, {"list", listOf("spare")}},
    };
    return Reply::ok({{"type", type}, {"maplist", maplist}});
}

} // namespace sandbox
