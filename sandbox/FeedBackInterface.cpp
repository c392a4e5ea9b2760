#include "sandbox/FeedBackInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/Reply.h"

namespace sandbox {

void FeedBackInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("FeedBack"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject FeedBackInterface::handle(const InterfaceCall& call) {
    const FormFields& f = call.fields;
    const QString content = f.value("content");
    if (content.trimmed().isEmpty())
        return Reply::failure(Reply::kFailed, QStringLiteral("反馈内容不能为空"));
    if (content.size() > kMaxLength)
        return Reply::failure(Reply::kFailed,
                              QStringLiteral("反馈内容不能超过%1字").arg(kMaxLength));
    const bool stored = call.backend.database().exec(
        QStringLiteral("INSERT INTO feedback (number, type, content, star, channelid, versionid,"
                       " imei) VALUES (?, ?, ?, ?, ?, ?, ?)"),
        {call.number, f.value("type"), content, f.value("star"), f.value("channelid"),
         f.value("versionid"), f.value("imei")});
    if (!stored) return Reply::failure(Reply::kFailed, QStringLiteral("反馈失败，请稍后再试"));
    return Reply::ok({}, QStringLiteral("反馈成功"));
}

} // namespace sandbox
