#include "sandbox/PersonalInfoInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/Reply.h"

namespace sandbox {

void PersonalInfoInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("PersonalInfo"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject PersonalInfoInterface::handle(const InterfaceCall& call) {
    const QList<QVariantMap> rows = call.backend.database().query(
        QStringLiteral("SELECT packagename, curflow FROM personal_info WHERE number = ?"),
        {call.number});
    const QVariantMap row = rows.value(0);
    return Reply::ok({{"packagename", row.value("packagename").toString()},
                      {"curflow", row.value("curflow").toString()}});
}

} // namespace sandbox
