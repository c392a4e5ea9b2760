#include "sandbox/Reply.h"

namespace sandbox {

QJsonObject Reply::ok(QJsonObject keys, const QString& msg) {
    keys.insert("result", kOk);
    keys.insert("msg", msg);
    return keys;
}

QJsonObject Reply::failure(qint64 code, const QString& msg) {
    return QJsonObject{{"result", code}, {"msg", msg}};
}

QJsonObject Reply::sessionExpired() {
    return failure(kSessionExpired, QStringLiteral("登录已超时，请重新登录"));
}

QJsonObject Reply::badParameters() {
    return failure(kFailed, QStringLiteral("请求参数错误"));
}

} // namespace sandbox
