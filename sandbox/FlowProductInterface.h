#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "FlowProduct" (needs a session): "position" "0" lists the recommended add-on packs,
// "2" the data plans recommended over the current one, in the recommended key set.
class FlowProductInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
