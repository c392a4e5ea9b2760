#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "FlowBill" (needs a session): the data bill of a month ("date" yyyyMM): one row per
// product with "productName", "percentage" used and "fee", and "totalCost".
class FlowBillInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
