#include "app/core/PublicFunction.h"

#include "app/core/NetworkReachability.h"

bool PublicFunction::IsEnable3G() {
    return NetworkReachability::reachabilityForInternetConnection()->currentReachabilityStatus() ==
           ReachableViaWWAN;
}

bool PublicFunction::IsEnableWIFI() {
    return NetworkReachability::reachabilityForInternetConnection()->currentReachabilityStatus() ==
           ReachableViaWiFi;
}
