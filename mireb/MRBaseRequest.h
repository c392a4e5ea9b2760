#pragma once

#include <QString>
#include <QVariantMap>
#include <memory>

class MRMessageObject;

// Base of what goes to (or comes from) the Mireb app.
class MRBaseRequest {
public:
    virtual ~MRBaseRequest() = default;
    QString requestID() const { return m_requestID; }
    void setRequestID(const QString& id) { m_requestID = id; }
    // Comes back unchanged with the response.
    QVariantMap userInfo() const { return m_userInfo; }
    void setUserInfo(const QVariantMap& info) { m_userInfo = info; }
    // The sending application's record, stamped on by MirebSDK::sendRequest.
    QVariantMap appRecord() const { return m_appRecord; }
    void setAppRecord(const QVariantMap& record) { m_appRecord = record; }

    virtual QString className() const { return "MRBaseRequest"; }
    // The transfer record put on the pasteboard.
    virtual QVariantMap toRecord() const;

private:
    QString m_requestID;
    QVariantMap m_userInfo;
    QVariantMap m_appRecord;
};

// OAuth2 authorization.
class MRAuthorizeRequest : public MRBaseRequest {
public:
    static std::shared_ptr<MRAuthorizeRequest> request();
    QString redirectURI() const { return m_redirectURI; }
    void setRedirectURI(const QString& uri) { m_redirectURI = uri; }
    QString scope() const { return m_scope; }
    void setScope(const QString& scope) { m_scope = scope; }

    QString className() const override { return "MRAuthorizeRequest"; }
    QVariantMap toRecord() const override;

private:
    QString m_redirectURI;
    QString m_scope;
};

// A share, with the authorization to ask for when the user has none yet.
class MRSendMessageToMirebRequest : public MRBaseRequest {
public:
    static std::shared_ptr<MRSendMessageToMirebRequest>
    requestWithMessage(std::shared_ptr<MRMessageObject> message,
                       std::shared_ptr<MRAuthorizeRequest> authInfo, const QString& access_token);

    std::shared_ptr<MRMessageObject> message() const { return m_message; }
    std::shared_ptr<MRAuthorizeRequest> authRequest() const { return m_authRequest; }
    QString accessToken() const { return m_accessToken; }
    bool shouldShowComposerIfCannotShareInMRApp() const { return m_showComposer; }
    void setShouldShowComposerIfCannotShareInMRApp(bool on) { m_showComposer = on; }

    QString className() const override { return "MRSendMessageToMirebRequest"; }
    QVariantMap toRecord() const override;

private:
    std::shared_ptr<MRMessageObject> m_message;
    std::shared_ptr<MRAuthorizeRequest> m_authRequest;
    QString m_accessToken;
    bool m_showComposer = true;
};
