#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "Search" (needs a session): the offers recommended to the subscriber ("likelist") and the
// popular ones ("hotlist"), each an object of the offer's fields.
class SearchInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
