#include "sandbox/StarLevelInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/Reply.h"

namespace sandbox {

void StarLevelInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("StarLevel"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject StarLevelInterface::handle(const InterfaceCall& call) {
    const auto subscriber = call.backend.subscribers().find(call.number);
    if (!subscriber) return Reply::sessionExpired();
    return Reply::ok({{"credit_level", subscriber->starLevel}});
}

} // namespace sandbox
