#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "FreeResourceForOtherList" (needs a session): "list" of the other free data resources
// with "productName", "amount" used and "total", in KB.
class FreeResourceForOtherListInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
