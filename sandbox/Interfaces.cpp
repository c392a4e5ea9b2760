#include "sandbox/Interfaces.h"

#include "sandbox/ChangePasswordInterface.h"
#include "sandbox/FeedBackInterface.h"
#include "sandbox/GatewayLoginInterface.h"
#include "sandbox/LoginInterface.h"
#include "sandbox/LoginSmsInterface.h"
#include "sandbox/PersonalInfoInterface.h"
#include "sandbox/SearchInterface.h"
#include "sandbox/StarLevelInterface.h"
#include "sandbox/VersionCheckInterface.h"

namespace sandbox {

void Interfaces::installAll(InterfaceRegistry& registry) {
    LoginInterface::install(registry);
    GatewayLoginInterface::install(registry);
    ChangePasswordInterface::install(registry);
    StarLevelInterface::install(registry);
    PersonalInfoInterface::install(registry);
    SearchInterface::install(registry);
    LoginSmsInterface::install(registry);
    FeedBackInterface::install(registry);
    VersionCheckInterface::install(registry);
}

} // namespace sandbox
