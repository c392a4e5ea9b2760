#include "screens/entry/LoginExchange.h"

#include "app/core/EncryptedPhoneNumber.h"
#include "app/core/HTTPRequest.h"
#include "app/core/PublicFunction.h"
#include "app/core/ViewController.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/Values.h"

LoginExchange::LoginExchange(const QVariant& reply) {
    if (!ns::Values::isMap(reply)) return;
    m_reply = reply.toMap();
    m_hasReply = true;
    m_result = ns::Values::integerValue(m_reply.value(QStringLiteral("result")));
    m_session = value(QStringLiteral("session"));
}

QString LoginExchange::value(const QString& key) const {
    const QVariant v = m_reply.value(key);
    if (ns::Values::isString(v) || ns::Values::isNumber(v)) return ns::Values::stringValue(v);
    return QStringLiteral("");
}

HTTPRequest* LoginExchange::loginRequest(ViewController* owner, const QVariant& num,
                                         const QVariant& pass) {
    auto* request = HTTPRequest::requestWithURL(tavrixConfig::NSAPIURL(QStringLiteral("Login")),
                                                ViewController::kRequestTimeout, owner);
    // A second send would be a second session and log-in notice, or a wrong password counted
    // twice.
    request->setAtMostOnce(true);
    // A log-in opens a session of its own: no cookie of the one before it (a subscriber whose
    // session expired, say) goes with it or with what follows.
    HTTPRequest::clearCookies();
    addLoginFields(request, num, pass);
    request->setFailureHandler(
        [owner](const HTTPError& error) { owner->commonFailureHandler(error); });
    return request;
}

void LoginExchange::addLoginFields(HTTPRequest* request, const QVariant& num,
                                   const QVariant& pass) {
    request->setPostValue(num, QStringLiteral("num"));
    request->setPostValue(pass, QStringLiteral("pass"));
    request->setPostValue(QStringLiteral("2"), QStringLiteral("channelid"));
    request->setPostValue(PublicFunction::versionNumberOfAPP(), QStringLiteral("versionid"));
    request->setPostValue(PublicFunction::imeiOfDevice(), QStringLiteral("imei"));
    request->setPostValue(PublicFunction::IsEnableWIFI() ? QStringLiteral("0")
                                                         : QStringLiteral("1"),
                          QStringLiteral("network"));
    request->setPostValue(tavrixConfig::userSession(), QStringLiteral("session"));
}

void LoginExchange::addGatewayFields(HTTPRequest* request, const EncryptedPhoneNumber& key) {
    const QString number = PublicFunction::getConfigWithKey(QStringLiteral("username")).toString();
    request->setPostValue(key.nonce(), QStringLiteral("nonce"));
    request->setPostValue(key.encrypt(number), QStringLiteral("enc_phonenum"));
    request->setPostValue(QStringLiteral("2"), QStringLiteral("channelid"));
    request->setPostValue(PublicFunction::versionNumberOfAPP(), QStringLiteral("versionid"));
    request->setPostValue(PublicFunction::imeiOfDevice(), QStringLiteral("imei"));
}

bool LoginExchange::keepGatewayLogIn(const QVariant& reply, const EncryptedPhoneNumber& key) {
    const LoginExchange judged(reply);
    const QString line =
        judged.isSuccess() ? key.decrypt(judged.value(QStringLiteral("enc_line_id"))) : QString();
    if (line.isEmpty()) return false;
    PublicFunction::saveConfig(judged.session(), QStringLiteral("session"));
    keepNumber(line);
    return true;
}

void LoginExchange::keepNumber(const QVariant& number) {
    const QString key = QStringLiteral("username");
    if (PublicFunction::getConfigWithKey(key).toString() != number.toString())
        PublicFunction::removeConfigWithKey(QStringLiteral("password"));
    PublicFunction::saveConfig(number, key);
}
