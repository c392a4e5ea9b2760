#include "sandbox/LoginInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/Reply.h"

namespace sandbox {

void LoginInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("Login"), InterfaceRegistry::Access::Open, &handle);
}

QJsonObject LoginInterface::handle(const InterfaceCall& call) {
    // The client sends the number as typed; blanks around it are a slip, not another number.
    const QString number = call.fields.value("num").trimmed();
    const auto subscriber = call.backend.subscribers().find(number);
    if (!subscriber || subscriber->password != call.fields.value("pass"))
        return Reply::failure(Reply::kWrongLogin, QStringLiteral("手机号或密码错误"));
    const QString session = call.backend.sessions().create(subscriber->number);
    if (session.isEmpty())
        return Reply::failure(Reply::kFailed, QStringLiteral("系统繁忙，请稍后再试"));
    return Reply::ok({{"session", session}}, QStringLiteral("登录成功"));
}

} // namespace sandbox
