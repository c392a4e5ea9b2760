#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

class EncryptedPhoneNumber;
class HTTPRequest;
class ViewController;

// What the log-in screens share of the "Login" and "LoginQTWAP" exchanges: the fields they send
// and how they read the reply.
class LoginExchange {
public:
    // "result" of a "Login" refused for a wrong number or password.
    static constexpr qint64 kWrongNumberOrPassword = 19999;

    // The "Login" request, not started: owned by the screen, sent at most once and without
    // any cookie kept so far, with the common time-out, its fields (addLoginFields) and the
    // screen's common failure handler.
    static HTTPRequest* loginRequest(ViewController* owner, const QVariant& num,
                                     const QVariant& pass);

    // A reply that is not a JSON object reads as no reply.
    explicit LoginExchange(const QVariant& reply);

    bool hasReply() const { return m_hasReply; }
    // "result" as an integer; a missing one reads as 0.
    qint64 result() const { return m_result; }
    // "result" 0 with a session to keep. A success without one is a broken reply, not a log-in.
    bool isSuccess() const { return m_hasReply && m_result == 0 && !m_session.isEmpty(); }
    QString session() const { return m_session; }
    QString msg() const { return value(QStringLiteral("msg")); }
    // A text or number field as text; "" when absent or of another kind.
    QString value(const QString& key) const;

    // The "Login" fields after "num" and "pass", in the server's order: "channelid",
    // "versionid", "imei", "network", "session".
    static void addLoginFields(HTTPRequest* request, const QVariant& num, const QVariant& pass);
    // The gateway log-in's fields: the stored number encrypted under the request's own key.
    static void addGatewayFields(HTTPRequest* request, const EncryptedPhoneNumber& key);
    // Keeps the session and the line's number from an accepted gateway reply. False when the
    // gateway refused, or answered a number that does not decrypt (the stored one then stays).
    static bool keepGatewayLogIn(const QVariant& reply, const EncryptedPhoneNumber& key);
    // Stores the number a log-in was accepted for as "username". Every log-in stores its
    // number here: a saved password belongs to the number it was saved with, so when the
    // stored number changes the stored password goes with it.
    static void keepNumber(const QVariant& number);

private:
    QVariantMap m_reply;
    bool m_hasReply = false;
    qint64 m_result = 0;
    QString m_session;
};
