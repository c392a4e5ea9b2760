#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "StarLevel" (needs a session): the subscriber's customer star level as "credit_level".
class StarLevelInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
