#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "Payment" (needs a session): a payment order for "amount" yuan (10 to 500) and the address of its
// payment page.
class PaymentInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
