#include "sandbox/ChangePasswordInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/Reply.h"
#include "sandbox/SandboxCipher.h"

namespace sandbox {

void ChangePasswordInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("ChangePassword"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject ChangePasswordInterface::handle(const InterfaceCall& call) {
    const QString nonce = call.fields.value("nonce");
    if (nonce.isEmpty()) return Reply::badParameters();
    const QString key = SandboxCipher::requestKeyString(nonce);
    const auto number = SandboxCipher::decrypt(call.fields.value("enc_phonenum"), key);
    const auto oldPassword = SandboxCipher::decrypt(call.fields.value("enc_oldpassword"), key);
    const auto newPassword = SandboxCipher::decrypt(call.fields.value("enc_newpassword"), key);
    if (!number || !oldPassword || !newPassword) return Reply::badParameters();

    if (number->trimmed() != call.number)
        return Reply::failure(Reply::kFailed, QStringLiteral("手机号码与登录号码不一致"));
    const auto subscriber = call.backend.subscribers().find(call.number);
    if (!subscriber) return Reply::sessionExpired();
    if (*oldPassword != subscriber->password)
        return Reply::failure(Reply::kFailed, QStringLiteral("旧密码错误"));
    // The client checks only the old password's length; an empty or short new one would
    // lock the subscriber out of the log-in screen, which insists on six characters.
    if (newPassword->size() != 6)
        return Reply::failure(Reply::kFailed, QStringLiteral("新密码必须为6位"));
    if (!call.backend.subscribers().setPassword(call.number, *newPassword))
        return Reply::failure(Reply::kFailed, QStringLiteral("系统繁忙，请稍后再试"));
    return Reply::ok({}, QStringLiteral("修改密码成功"));
}

} // namespace sandbox
