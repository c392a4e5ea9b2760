#include "sandbox/Interfaces.h"

#include "sandbox/AdvertInterface.h"
#include "sandbox/BalanceInterface.h"
#include "sandbox/BillInterface.h"
#include "sandbox/CardInterface.h"
#include "sandbox/ChangePasswordInterface.h"
#include "sandbox/ChargeRecordInterface.h"
#include "sandbox/ExchangePointInterface.h"
#include "sandbox/FeedBackInterface.h"
#include "sandbox/FlowBillInterface.h"
#include "sandbox/FlowProductInterface.h"
#include "sandbox/FlowRecommendInterface.h"
#include "sandbox/FreeResourceForOtherListInterface.h"
#include "sandbox/GPRSDailyInterface.h"
#include "sandbox/GPRSMonthlyInterface.h"
#include "sandbox/GatewayLoginInterface.h"
#include "sandbox/LoginInterface.h"
#include "sandbox/LoginSmsInterface.h"
#include "sandbox/MainBillInfoInterface.h"
#include "sandbox/MainInfoConfListInterface.h"
#include "sandbox/OrderInterface.h"
#include "sandbox/PaymentInfoInterface.h"
#include "sandbox/PaymentInterface.h"
#include "sandbox/PersonalInfoInterface.h"
#include "sandbox/RechargeOfferInterface.h"
#include "sandbox/SearchInterface.h"
#include "sandbox/SpecialActivityInterface.h"
#include "sandbox/StarLevelInterface.h"
#include "sandbox/VersionCheckInterface.h"

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
    SearchInterface::install(registry);
    LoginSmsInterface::install(registry);
    FeedBackInterface::install(registry);
    VersionCheckInterface::install(registry);
    BalanceInterface::install(registry);
    GPRSDailyInterface::install(registry);
    GPRSMonthlyInterface::install(registry);
    FlowBillInterface::install(registry);
    FlowProductInterface::install(registry);
    FlowRecommendInterface::install(registry);
    OrderInterface::install(registry);
    FreeResourceForOtherListInterface::install(registry);
    BillInterface::install(registry);
    PaymentInfoInterface::install(registry);
    SpecialActivityInterface::install(registry);
    RechargeOfferInterface::install(registry);
    PaymentInterface::install(registry);
    CardInterface::install(registry);
    ChargeRecordInterface::install(registry);
    ExchangePointInterface::install(registry);
}

} // namespace sandbox
