#include "sandbox/LoginSmsInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/Reply.h"

namespace sandbox {

void LoginSmsInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("LoginSMS"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject LoginSmsInterface::handle(const InterfaceCall& call) {
    Database& db = call.backend.database();
    const QString action = call.fields.value("action");
    if (action == QLatin1String("0")) {
        const QString stored =
            db.scalar(QStringLiteral("SELECT notify FROM login_sms WHERE number = ?"),
                      {call.number})
                .toString();
        return Reply::ok({{"notify", stored == QLatin1String("1") ? "1" : "0"}});
    }
    if (action != QLatin1String("1")) return Reply::badParameters();
    const QString notify = call.fields.value("notify");
    if (notify != QLatin1String("0") && notify != QLatin1String("1")) return Reply::badParameters();
    if (!db.exec(QStringLiteral("INSERT INTO login_sms (number, notify) VALUES (?, ?)"
                                " ON CONFLICT(number) DO UPDATE SET notify = excluded.notify"),
                 {call.number, notify}))
        return Reply::failure(Reply::kFailed, QStringLiteral("设置失败，请稍后再试"));
    return Reply::ok({{"notify", notify}}, QStringLiteral("设置成功"));
}

} // namespace sandbox
