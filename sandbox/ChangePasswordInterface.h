#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "ChangePassword" (needs a session): "enc_phonenum", "enc_oldpassword" and
// "enc_newpassword", encrypted under "nonce". The number must be the session's, the old
// password the current one, and the new one six characters; then it replaces the old.
class ChangePasswordInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
