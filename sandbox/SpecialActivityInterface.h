#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "SpecialActivity" (needs a session): the promotion banner of the campaign "marketId".
class SpecialActivityInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
