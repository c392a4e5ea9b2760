#include "sandbox/Interfaces.h"

#include "sandbox/AdvertInterface.h"
#include "sandbox/BalanceInterface.h"
#include "sandbox/ChangePasswordInterface.h"
#include "sandbox/FlowBillInterface.h"
#include "sandbox/FlowProductInterface.h"
#include "sandbox/FlowRecommendInterface.h"
#include "sandbox/FreeResourceForOtherListInterface.h"
#include "sandbox/GPRSDailyInterface.h"
#include "sandbox/GPRSMonthlyInterface.h"
#include "sandbox/GatewayLoginInterface.h"
#include "sandbox/LoginInterface.h"
#include "sandbox/MainBillInfoInterface.h"
#include "sandbox/MainInfoConfListInterface.h"
#include "sandbox/OrderInterface.h"
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
    BalanceInterface::install(registry);
    GPRSDailyInterface::install(registry);
    GPRSMonthlyInterface::install(registry);
    FlowBillInterface::install(registry);
    FlowProductInterface::install(registry);
    FlowRecommendInterface::install(registry);
    OrderInterface::install(registry);
    FreeResourceForOtherListInterface::install(registry);
}

} // namespace sandbox
