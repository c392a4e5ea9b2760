#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "GPRSDaily" (needs a session): "list" of {"date" yyyy-MM-dd, "amount" KB}, oldest first,
// of the "count" days before "date" (yyyyMMdd, today when absent).
class GPRSDailyInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
