#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "LoginQTWAP": the password-less log-in on the operator's network. The gateway names the
// line the request comes from (Backend::gatewayNumber()); the reply carries a "session" for
// that line and the line's number encrypted under the request's nonce as "enc_line_id".
// The posted "enc_phonenum" (what the phone last knew, maybe "") must decrypt, but the line
// decides who is logged in.
class GatewayLoginInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
