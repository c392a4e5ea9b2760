#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <memory>

// Requests, responses and media messages exchanged with the Talvo app.

class BaseReq {
public:
    virtual ~BaseReq() = default;
    int type() const { return m_type; }
    void setType(int type) { m_type = type; }
    QString openID() const { return m_openID; }
    void setOpenID(const QString& id) { m_openID = id; }

private:
    int m_type = 0;
    QString m_openID;
};

// errCode: 0 sent, -2 cancelled by the user, anything else failed.
class BaseResp {
public:
    static constexpr int kSuccess = 0;
    static constexpr int kCommonError = -1;
    static constexpr int kUserCancel = -2;

    virtual ~BaseResp() = default;
    int errCode() const { return m_errCode; }
    void setErrCode(int code) { m_errCode = code; }
    QString errStr() const { return m_errStr; }
    void setErrStr(const QString& text) { m_errStr = text; }
    int type() const { return m_type; }
    void setType(int type) { m_type = type; }

private:
    int m_errCode = kCommonError;
    QString m_errStr;
    int m_type = 0;
};

// A web page to share.
class TVWebpageObject {
public:
    static std::shared_ptr<TVWebpageObject> object();
    QString webpageUrl() const { return m_webpageUrl; }
    void setWebpageUrl(const QString& url) { m_webpageUrl = url; }

private:
    QString m_webpageUrl;
};

class TVMediaMessage {
public:
    static std::shared_ptr<TVMediaMessage> message();

    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    QString description() const { return m_description; }
    void setDescription(const QString& text) { m_description = text; }
    // Kept as JPEG of quality 0.6; a null image is ignored.
    void setThumbImage(const QImage& image);
    QByteArray thumbData() const { return m_thumbData; }
    void setThumbData(const QByteArray& data) { m_thumbData = data; }
    std::shared_ptr<TVWebpageObject> mediaObject() const { return m_mediaObject; }
    void setMediaObject(std::shared_ptr<TVWebpageObject> object) {
        m_mediaObject = std::move(object);
    }

private:
    QString m_title;
    QString m_description;
    QByteArray m_thumbData;
    std::shared_ptr<TVWebpageObject> m_mediaObject;
};

class SendMessageToTVReq : public BaseReq {
public:
    enum Scene { Session = 0, Timeline = 1 };

    bool bText() const { return m_bText; }
    void setBText(bool on) { m_bText = on; }
    QString text() const { return m_text; }
    void setText(const QString& text) { m_text = text; }
    std::shared_ptr<TVMediaMessage> message() const { return m_message; }
    void setMessage(std::shared_ptr<TVMediaMessage> message) { m_message = std::move(message); }
    int scene() const { return m_scene; }
    void setScene(int scene) { m_scene = scene; }

private:
    bool m_bText = false;
    QString m_text;
    std::shared_ptr<TVMediaMessage> m_message;
    int m_scene = Session;
};

// The Talvo app asks this application for content, or shows content it holds.
class GetMessageFromTVReq : public BaseReq {};
class ShowMessageFromTVReq : public BaseReq {};

// Talvo's answer to a share.
class SendMessageToTVResp : public BaseResp {
public:
    QString lang() const { return m_lang; }
    void setLang(const QString& lang) { m_lang = lang; }
    QString country() const { return m_country; }
    void setCountry(const QString& country) { m_country = country; }

private:
    QString m_lang;
    QString m_country;
};

class SendAuthResp : public BaseResp {
public:
    QString code() const { return m_code; }
    void setCode(const QString& code) { m_code = code; }
    QString state() const { return m_state; }
    void setState(const QString& state) { m_state = state; }

private:
    QString m_code;
    QString m_state;
};
