#include "app/core/tavrixConfig.h"

#include "app/core/HTTPRequest.h"
#include "app/core/PublicFunction.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/Values.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace {

QString& baseAddress() {
    static QString base = [] {
        const QString env = qEnvironmentVariable("TAVRIX_SERVER");
        return env.isEmpty() ? QStringLiteral("http://127.0.0.1:8080/pelvo/") : env;
    }();
    return base;
}

PCConfigDO& ipConfig() {
    static PCConfigDO record;
    return record;
}

// Absent means NO, whatever the stored value's own reading would say.
bool switchValue(const QString& key) {
    auto& d = ns::UserDefaults::standardUserDefaults();
    return d.hasObjectForKey(key) && d.boolForKey(key);
}

void setSwitch(bool value, const QString& key) {
    auto& d = ns::UserDefaults::standardUserDefaults();
    d.setBool(value, key);
    d.synchronize();
}

} // namespace

QString tavrixConfig::serverBaseAddress() {
    return baseAddress();
}

void tavrixConfig::setServerBaseAddress(const QString& base) {
    if (!base.isEmpty()) baseAddress() = base;
}

QUrl tavrixConfig::NSAPIURL(const QString& interfaceName) {
    return QUrl(QStringLiteral("%1%2%3").arg(baseAddress(), interfaceName, QStringLiteral(".do")));
}

QString tavrixConfig::userSession() {
    return ns::UserDefaults::standardUserDefaults().stringForKey("session");
}

void tavrixConfig::saveUserSession(const QString& session) {
    auto& d = ns::UserDefaults::standardUserDefaults();
    d.setObject(session.isNull() ? QVariant() : QVariant(session), "session");
    d.synchronize();
}

bool tavrixConfig::isOpenGuideView() {
    return switchValue("is_open_guideview");
}
void tavrixConfig::setIsOpenGuideView(bool value) {
    setSwitch(value, "is_open_guideview");
}
bool tavrixConfig::isOpenSecurenumGuideView() {
    return switchValue("is_open_securenum_guideview");
}
void tavrixConfig::setIsOpenSecurenumGuideView(bool value) {
    setSwitch(value, "is_open_securenum_guideview");
}
bool tavrixConfig::isAutoLogin() {
    return switchValue("is_auto_login");
}
void tavrixConfig::setIsAutoLogin(bool value) {
    setSwitch(value, "is_auto_login");
}
bool tavrixConfig::isSavePwd() {
    return switchValue("is_save_password");
}
void tavrixConfig::setIsSavePwd(bool value) {
    setSwitch(value, "is_save_password");
}

PCConfigDO tavrixConfig::getIPConfig() {
    return ipConfig();
}
void tavrixConfig::setAppIPConfig(const PCConfigDO& record) {
    ipConfig() = record;
}

QVariantMap tavrixConfig::setCookie() {
    const QString value =
        QString::asprintf("%f", double(QDateTime::currentMSecsSinceEpoch()) / 1000.0) +
        PublicFunction::getUUIDOfDevice();
    return setCookieForSession(value);
}

QVariantMap tavrixConfig::setCookieForSession(const QString& session) {
    // The record may be empty (nothing fills it): the properties are then empty texts.
    const PCConfigDO record = ipConfig();
    return {
        {"Name", QStringLiteral("JSESSIONID")},
        {"Value", session},
        {"Domain", record.urlIP},
        {"OriginURL", record.urlIP},
        {"Path", record.urlPath},
        {"Version", QStringLiteral("0")},
    };
}

QVariantMap tavrixConfig::setCookieWithSessionID(const QString& session) {
    HTTPRequest::clearCookies();
    return setCookieForSession(session);
}

QString tavrixConfig::formatOfNetworkFlow(double kb) {
    if (std::isnan(kb)) return QString("");
    // A figure past any real amount (an infinity too) is written as the largest one read.
    kb = std::clamp(kb, -double(ns::Values::kQuantityLimit), double(ns::Values::kQuantityLimit));
    const double m = kb / 1024.0;
    if (m >= 1024.0) return QString::asprintf("%.2fGB", kb / 1048576.0);
    if (m >= 1.0) return QString::asprintf("%.2fMB", m);
    return QString::asprintf("%.2fKB", kb);
}
