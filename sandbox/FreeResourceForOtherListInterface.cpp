#include "sandbox/FreeResourceForOtherListInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/FlowData.h"
#include "sandbox/Reply.h"

namespace sandbox {

void FreeResourceForOtherListInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("FreeResourceForOtherList"), InterfaceRegistry::Access::Session,
                 &handle);
}

QJsonObject FreeResourceForOtherListInterface::handle(const InterfaceCall& call) {
    return Reply::ok({{"list", FlowData::freeResources(call.backend.database(), call.number)}});
}

} // namespace sandbox
