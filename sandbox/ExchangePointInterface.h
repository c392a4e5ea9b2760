#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "ExchangePoint" (needs a session): "action" 0 the points and products, 1 an exchange of
// "productid", 2 the exchanges made.
class ExchangePointInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
