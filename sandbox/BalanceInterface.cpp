#include "sandbox/BalanceInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/FlowData.h"
#include "sandbox/Reply.h"

namespace sandbox {

void BalanceInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("Balance"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject BalanceInterface::handle(const InterfaceCall& call) {
    return Reply::ok(FlowData::balance(call.backend.database(), call.number));
}

} // namespace sandbox
