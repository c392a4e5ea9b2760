#include "mireb/MRBaseResponse.h"

#include "platform/foundation/Values.h"

namespace {
// Null (not empty) when absent or not text, so "may be nil" stays visible to callers.
QString optionalString(const QVariantMap& record, const QString& key) {
    const QVariant v = record.value(key);
    if (!ns::Values::isString(v) && !ns::Values::isNumber(v)) return {};
    return ns::Values::stringValue(v);
}
} // namespace

void MRBaseResponse::readBase(const QVariantMap& record) {
    // A record without a status never counts as a success.
    const QVariant status = record.value("statusCode");
    m_statusCode = ns::Values::isNumber(status) || ns::Values::isString(status)
                       ? int(ns::Values::integerValue(status))
                       : SentFail;
    m_requestID = ns::Values::stringValue(record.value("requestID"));
    m_userInfo = record.value("userInfo").toMap();
    m_requestUserInfo = record.value("requestUserInfo").toMap();
}

std::unique_ptr<MRAuthorizeResponse>
MRAuthorizeResponse::fromAuthRecord(const QVariantMap& record) {
    auto auth = std::make_unique<MRAuthorizeResponse>();
    auth->readBase(record);
    auth->m_userID = optionalString(record, "userID");
    auth->m_accessToken = optionalString(record, "accessToken");
    auth->m_refreshToken = optionalString(record, "refreshToken");
    const QVariant expires = record.value("expirationDate");
    if (ns::Values::isNumber(expires))
        auth->m_expirationDate = QDateTime::fromSecsSinceEpoch(ns::Values::integerValue(expires));
    return auth;
}

std::unique_ptr<MRBaseResponse> MRBaseResponse::fromRecord(const QVariantMap& record) {
    const QString cls = record.value("__class").toString();
    if (cls == "MRAuthorizeResponse") return MRAuthorizeResponse::fromAuthRecord(record);
    if (cls == "MRSendMessageToMirebResponse") {
        auto share = std::make_unique<MRSendMessageToMirebResponse>();
        share->readBase(record);
        const QVariant auth = record.value("authResponse");
        if (ns::Values::isMap(auth))
            share->m_authResponse = MRAuthorizeResponse::fromAuthRecord(auth.toMap());
        return share;
    }
    return nullptr;
}
