#include "sandbox/PaymentInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/BillingData.h"
#include "sandbox/PaymentPage.h"
#include "sandbox/Reply.h"

namespace sandbox {

void PaymentInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("Payment"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject PaymentInterface::handle(const InterfaceCall& call) {
    const qint64 fen = BillingData::wholeYuanFen(call.fields.value("amount"));
    if (fen < 1000 || fen > 50000)
        return Reply::failure(Reply::kFailed, QStringLiteral("充值金额须为10至500元的整数"));
    const QString token = PaymentPage::createOrder(call.backend, call.number, fen);
    if (token.isEmpty())
        return Reply::failure(Reply::kFailed, QStringLiteral("系统繁忙，请稍后再试"));
    return Reply::ok({{"url", PaymentPage::orderUrl(call.backend, token)}});
}

} // namespace sandbox
