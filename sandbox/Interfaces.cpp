#include "sandbox/Interfaces.h"

#include "sandbox/AdvertInterface.h"
#include "sandbox/ChangePasswordInterface.h"
#include "sandbox/GatewayLoginInterface.h"
#include "sandbox/LoginInterface.h"
#include "sandbox/MainBillInfoInterface.h"
#include "sandbox/MainInfoConfListInterface.h"
#include "sandbox/PersonalInfoInterface.h"
#include "sandbox/StarLevelInterface.h"

namespace sandbox {

void Interfaces::installAll(InterfaceRegistry& registry) {
    LoginInterface::install(registry);
    GatewayLoginInterface::install(registry);
    ChangePasswordInterface::install(registry);
    StarLevelInterface::install(registry);
    MainBillInfoInterface::install(registry);
    AdvertInterface::install(registry);
    MainInfoConfListInterface::install(registry);
    PersonalInfoInterface::install(registry);
}

} // namespace sandbox
