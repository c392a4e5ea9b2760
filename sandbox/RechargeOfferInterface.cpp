#include "sandbox/RechargeOfferInterface.h"

#include "sandbox/BillingData.h"
#include "sandbox/MainBillInfoInterface.h"
#include "sandbox/PaymentPage.h"
#include "sandbox/Reply.h"

#include <algorithm>

namespace sandbox {

void RechargeOfferInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("RechargeOffer"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject RechargeOfferInterface::handle(const InterfaceCall& call) {
    // The sum follows the amount as it is being chosen: what is not (yet) a whole number of
    // yuan costs nothing, rather than an alert at every keystroke.
    const qint64 fen = std::max<qint64>(0, BillingData::wholeYuanFen(call.fields.value("amount")));
    return Reply::ok({{"amount", MainBillInfoInterface::yuan(PaymentPage::payFen(fen))}});
}

} // namespace sandbox
