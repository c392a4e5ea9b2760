#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "Balance" (needs a session): data left this month ("gntyll") of the month's total
// ("gntytotal", plan and packs), other free data left ("qtll"), all in KB, and "is_4g".
class BalanceInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
