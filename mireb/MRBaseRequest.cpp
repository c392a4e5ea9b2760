#include "mireb/MRBaseRequest.h"

#include "mireb/MRMessageObject.h"

QVariantMap MRBaseRequest::toRecord() const {
    return {{"__class", className()},
            {"requestID", m_requestID},
            {"userInfo", m_userInfo},
            {"app", m_appRecord}};
}

std::shared_ptr<MRAuthorizeRequest> MRAuthorizeRequest::request() {
    return std::make_shared<MRAuthorizeRequest>();
}

QVariantMap MRAuthorizeRequest::toRecord() const {
    QVariantMap record = MRBaseRequest::toRecord();
    record["redirectURI"] = m_redirectURI;
    record["scope"] = m_scope;
    return record;
}

std::shared_ptr<MRSendMessageToMirebRequest>
MRSendMessageToMirebRequest::requestWithMessage(std::shared_ptr<MRMessageObject> message,
                                                std::shared_ptr<MRAuthorizeRequest> authInfo,
                                                const QString& access_token) {
    auto request = std::make_shared<MRSendMessageToMirebRequest>();
    request->m_message = std::move(message);
    request->m_authRequest = std::move(authInfo);
    request->m_accessToken = access_token;
    request->m_showComposer = true;
    return request;
}

QVariantMap MRSendMessageToMirebRequest::toRecord() const {
    QVariantMap record = MRBaseRequest::toRecord();
    if (m_message) {
        QVariantMap message{{"text", m_message->text()}};
        if (const auto& image = m_message->imageObject()) message["imageData"] = image->imageData();
        record["message"] = message;
    }
    if (m_authRequest) record["authRequest"] = m_authRequest->toRecord();
    if (!m_accessToken.isNull()) record["accessToken"] = m_accessToken;
    record["shouldShowComposerIfCannotShareInMRApp"] = m_showComposer;
    return record;
}
