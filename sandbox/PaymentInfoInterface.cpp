#include "sandbox/PaymentInfoInterface.h"

#include "sandbox/Reply.h"

#include <QJsonArray>

namespace sandbox {

void PaymentInfoInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("PaymentInfo"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject PaymentInfoInterface::handle(const InterfaceCall&) {
    QJsonArray list;
    for (const char* price : {"20", "30", "50", "100", "200", "300"})
        list.append(QJsonObject{{"price", QString::fromLatin1(price)}, {"image", QString()}});
    return Reply::ok({{"list", list}});
}

} // namespace sandbox
