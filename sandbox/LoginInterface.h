#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "Login": the phone number ("num") and the service password ("pass") give a new "session";
// a wrong pair gives result 19999.
class LoginInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
