#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "MainBillInfo" (needs a session): the subscriber's credit left ("remain") and this month's
// charges ("telephone_fare"), both in yuan with two decimals, under "current".
class MainBillInfoInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
    // 5830 fen -> "58.30"; negative amounts keep their sign.
    static QString yuan(qint64 fen);
};

} // namespace sandbox
