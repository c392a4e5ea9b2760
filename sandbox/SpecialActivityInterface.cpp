#include "sandbox/SpecialActivityInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/PaymentPage.h"
#include "sandbox/PictureStore.h"
#include "sandbox/Reply.h"

namespace sandbox {

void SpecialActivityInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("SpecialActivity"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject SpecialActivityInterface::handle(const InterfaceCall& call) {
    if (call.fields.value("marketId") != PaymentPage::kCampaign)
        return Reply::failure(Reply::kFailed, QStringLiteral("暂无活动"));
    return Reply::ok({{"image", PictureStore::urlFor(call.backend, PaymentPage::kBannerPicture)},
                      {"closeable", "1"},
                      {"data", PaymentPage::activityUrl(call.backend)},
                      {"name", QStringLiteral("充值有礼")}});
}

} // namespace sandbox
