#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "PersonalInfo" (needs a session): the subscriber's package as "packagename" and data plan
// as "curflow" (empty when the subscriber has none on record).
class PersonalInfoInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
