#pragma once

#include <QDateTime>
#include <QString>
#include <QVariantMap>
#include <memory>

// Base of the Mireb app's answers. statusCode: 0 success, -1 and -100 cancelled, -2 send
// failed, -4 installation of the Mireb client cancelled, -8 share failed.
class MRBaseResponse {
public:
    enum StatusCode {
        Success = 0,
        UserCancel = -1,
        SentFail = -2,
        UserCancelInstall = -4,
        ShareInSDKFailed = -8,
        Unknown = -100,
    };

    virtual ~MRBaseResponse() = default;
    int statusCode() const { return m_statusCode; }
    void setStatusCode(int code) { m_statusCode = code; }
    QString requestID() const { return m_requestID; }
    QVariantMap userInfo() const { return m_userInfo; }
    // The userInfo of the request this answers.
    QVariantMap requestUserInfo() const { return m_requestUserInfo; }

    // Reads a transfer record; null for a record of no known response class.
    static std::unique_ptr<MRBaseResponse> fromRecord(const QVariantMap& record);

protected:
    void readBase(const QVariantMap& record);

private:
    int m_statusCode = SentFail;
    QString m_requestID;
    QVariantMap m_userInfo;
    QVariantMap m_requestUserInfo;
};

// Result of an authorization; the strings are null when Mireb sent none.
class MRAuthorizeResponse : public MRBaseResponse {
public:
    QString userID() const { return m_userID; }
    QString accessToken() const { return m_accessToken; }
    QString refreshToken() const { return m_refreshToken; }
    QDateTime expirationDate() const { return m_expirationDate; }

    static std::unique_ptr<MRAuthorizeResponse> fromAuthRecord(const QVariantMap& record);

private:
    QString m_userID;
    QString m_accessToken;
    QString m_refreshToken;
    QDateTime m_expirationDate;
};

// Answer to a share; carries the authorization made on the way, if any.
class MRSendMessageToMirebResponse : public MRBaseResponse {
public:
    const MRAuthorizeResponse* authResponse() const { return m_authResponse.get(); }
    void setAuthResponse(std::shared_ptr<MRAuthorizeResponse> auth) {
        m_authResponse = std::move(auth);
    }

private:
    friend class MRBaseResponse;
    std::shared_ptr<MRAuthorizeResponse> m_authResponse;
};
