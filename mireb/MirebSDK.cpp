#include "mireb/MirebSDK.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QUrlQuery>
#include <QUuid>

#include "mireb/MRBaseRequest.h"
#include "mireb/MRBaseResponse.h"
#include "mireb/MirebSDKDelegate.h"
#include "platform/foundation/Pasteboard.h"
#include "platform/foundation/UrlOpener.h"
#include "platform/foundation/Values.h"

namespace {

// Debug mode says what the library does on the console; a logging rule can still silence
// the category (QT_LOGGING_RULES="tavrix.mireb.debug=false").
Q_LOGGING_CATEGORY(lcMireb, "tavrix.mireb")

QString g_appKey;
bool g_debug = false;

void debugLog(const QString& text) {
    if (g_debug) qCDebug(lcMireb).noquote() << "MirebSDK:" << text;
}

QString newTransferId() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace

void MirebSDK::enableDebugMode(bool enabled) {
    g_debug = enabled;
}

bool MirebSDK::isDebugMode() {
    return g_debug;
}

bool MirebSDK::registerApp(const QString& appKey) {
    if (appKey.isEmpty()) return false;
    g_appKey = appKey;
    QVariantMap apps = ns::Pasteboard::read(kRegisteredAppsPasteboard);
    apps[appKey] =
        QVariantMap{{"name", QCoreApplication::applicationName()}, {"sdkVersion", kSDKVersion}};
    const bool recorded = ns::Pasteboard::write(kRegisteredAppsPasteboard, apps);
    debugLog(QString("registered %1%2").arg(appKey, recorded ? "" : " (pasteboard not written)"));
    return recorded;
}

QString MirebSDK::registeredAppKey() {
    return g_appKey;
}

QString MirebSDK::callbackScheme() {
    return g_appKey.isEmpty() ? QString() : "mr" + g_appKey;
}

bool MirebSDK::handleOpenURL(const QUrl& url, MirebSDKDelegate* delegate) {
    if (!delegate || g_appKey.isEmpty() || !url.isValid()) return false;
    if (url.scheme().compare(callbackScheme(), Qt::CaseInsensitive) != 0) return false;
    const QString kind = url.host().toLower();
    if (kind != "request" && kind != "response") return false;
    const QString id = QUrlQuery(url).queryItemValue("id", QUrl::FullyDecoded);
    if (!ns::Pasteboard::isValidName(id)) return false;
    const QVariantMap record = ns::Pasteboard::read(id);
    // A transfer is read once: a replayed URL finds nothing.
    ns::Pasteboard::remove(id);
    if (record.isEmpty()) {
        debugLog("no transfer record for " + id);
        return false;
    }
    if (kind == "response") {
        const auto response = MRBaseResponse::fromRecord(record);
        if (!response) return false;
        debugLog(QString("response, status %1").arg(response->statusCode()));
        delegate->didReceiveMirebResponse(*response);
        return true;
    }
    MRBaseRequest request;
    request.setRequestID(ns::Values::stringValue(record.value("requestID")));
    request.setUserInfo(record.value("userInfo").toMap());
    delegate->didReceiveMirebRequest(request);
    return true;
}

bool MirebSDK::sendRequest(MRBaseRequest& request) {
    if (g_appKey.isEmpty()) return false;
    request.setAppRecord({{"appKey", g_appKey},
                          {"name", QCoreApplication::applicationName()},
                          {"sdkVersion", kSDKVersion}});
    if (request.requestID().isEmpty()) request.setRequestID(newTransferId());
    const QString id = newTransferId();
    if (!ns::Pasteboard::write(id, request.toRecord())) return false;
    const QUrl url(QString("mirebsdk://request?id=%1&sdkversion=%2").arg(id, kSDKVersion));
    if (ns::UrlOpener::openURL(url)) return true;
    ns::Pasteboard::remove(id); // nobody will collect it
    debugLog("no Mireb app took the request");
    return false;
}

void MirebSDK::resetForTesting() {
    g_appKey.clear();
    g_debug = false;
}
