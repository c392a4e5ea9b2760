#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "PaymentInfo" (needs a session): the six recharge amounts offered to the channel.
class PaymentInfoInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
