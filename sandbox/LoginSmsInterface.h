#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "LoginSMS" (needs a session): whether the subscriber gets an SMS at each log-in.
// "action" "0" reads the setting as "notify" ("1" on, "0" off; off when never set);
// "action" "1" stores the "notify" sent, which must be "0" or "1", and answers it back.
class LoginSmsInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
