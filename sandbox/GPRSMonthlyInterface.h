#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "GPRSMonthly" (needs a session): "list" of {"date" MM, "amount" KB} of the last six
// months, oldest first, this month last; "average" the KB a past month used on average.
class GPRSMonthlyInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
