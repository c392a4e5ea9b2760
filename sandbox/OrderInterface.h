#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "Order" (needs a session): "action" "1" orders product "target" of offer "marketid". A
// pack is added to this month at once; a plan takes effect next month.
class OrderInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
