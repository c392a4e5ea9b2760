#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "RechargeOffer" (needs a session): the sum to pay for a recharge of "amount" yuan after the
// discount.
class RechargeOfferInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
