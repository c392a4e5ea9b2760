#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "ChargeRecord" (needs a session): the recharges of this month and the five before it.
class ChargeRecordInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
