#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "Card" (needs a session): a recharge card ("cardno", "cardpwd") credited to the subscriber; each
// card once.
class CardInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
