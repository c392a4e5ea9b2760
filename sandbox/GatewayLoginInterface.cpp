#include "sandbox/GatewayLoginInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/Reply.h"
#include "sandbox/SandboxCipher.h"

namespace sandbox {

void GatewayLoginInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("LoginQTWAP"), InterfaceRegistry::Access::Open, &handle);
}

QJsonObject GatewayLoginInterface::handle(const InterfaceCall& call) {
    const QString nonce = call.fields.value("nonce");
    if (nonce.isEmpty() || !call.fields.contains("enc_phonenum")) return Reply::badParameters();
    const QString key = SandboxCipher::requestKeyString(nonce);
    if (!SandboxCipher::decrypt(call.fields.value("enc_phonenum"), key))
        return Reply::badParameters();

    const QString line = call.backend.gatewayNumber();
    if (line.isEmpty() || !call.backend.subscribers().find(line))
        return Reply::failure(Reply::kFailed,
                              QStringLiteral("无法识别您的手机号码，请使用服务密码登录"));
    const QString session = call.backend.sessions().create(line);
    if (session.isEmpty())
        return Reply::failure(Reply::kFailed, QStringLiteral("系统繁忙，请稍后再试"));
    return Reply::ok({{"session", session}, {"enc_line_id", SandboxCipher::encrypt(line, key)}},
                     QStringLiteral("登录成功"));
}

} // namespace sandbox
