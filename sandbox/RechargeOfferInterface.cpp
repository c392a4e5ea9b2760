#include "sandbox/RechargeOfferInterface.h"

#include "sandbox/BillingData.h"
#include "sandbox/MainBillInfoInterface.h"
#include "sandbox/PaymentPage.h"
#include "sandbox/Reply.h"

namespace sandbox {

void RechargeOfferInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("RechargeOffer"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject RechargeOfferInterface::handle(const InterfaceCall& call) {
    const qint64 fen = BillingData::wholeYuanFen(call.fields.value("amount"));
    if (fen <= 0) return Reply::failure(Reply::kFailed, QStringLiteral("充值金额不正确"));
    return Reply::ok({{"amount", MainBillInfoInterface::yuan(PaymentPage::payFen(fen))}});
}

} // namespace sandbox
