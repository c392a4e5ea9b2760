#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "Bill" (needs a session): the bill of the month "ym" names ("0" this month, else "yyyyMM") as
// "qry": totals, charge groups with their items, the family group.
class BillInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
