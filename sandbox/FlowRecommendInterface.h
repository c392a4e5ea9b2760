#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "FlowRecommend" (needs a session): "maplist" of the orderable plans (position 1), packs
// (2) and idle-time packs (3) for a network type ("type" "1" 4G, "0" 2G/3G).
class FlowRecommendInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
