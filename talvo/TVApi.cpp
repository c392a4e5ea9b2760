#include "talvo/TVApi.h"

#include <QCoreApplication>
#include <QUrlQuery>

#include "platform/foundation/Pasteboard.h"
#include "platform/foundation/UrlOpener.h"
#include "platform/foundation/Values.h"
#include "talvo/TVApiDelegate.h"
#include "talvo/TVApiObject.h"

namespace {

QString g_appId;

QString queryValue(const QUrlQuery& query, const QString& key) {
    return query.queryItemValue(key, QUrl::FullyDecoded);
}

// A reply without a code never reads as "sent".
int errCodeOf(const QUrlQuery& query) {
    if (!query.hasQueryItem("errCode")) return BaseResp::kCommonError;
    return int(ns::Values::integerValue(queryValue(query, "errCode")));
}

template <typename Resp> void fillResp(Resp& resp, const QUrlQuery& query) {
    resp.setErrCode(errCodeOf(query));
    resp.setErrStr(queryValue(query, "errStr"));
    resp.setType(int(ns::Values::integerValue(queryValue(query, "type"))));
}

QVariantMap recordOf(const SendMessageToTVReq& req) {
    QVariantMap record{{"command", "sendreq"}, {"scene", req.scene()}, {"bText", req.bText()}};
    if (req.bText()) {
        record["text"] = req.text();
        return record;
    }
    const auto& message = req.message();
    record["title"] = message->title();
    record["description"] = message->description();
    record["thumbData"] = message->thumbData();
    if (const auto& page = message->mediaObject()) {
        record["objectType"] = "webpage";
        record["webpageUrl"] = page->webpageUrl();
    }
    return record;
}

} // namespace

bool TVApi::registerApp(const QString& appid) {
    if (appid.isEmpty()) return false;
    g_appId = appid;
    QVariantMap apps = ns::Pasteboard::read(kRegisterPasteboard);
    apps[appid] = QVariantMap{{"name", QCoreApplication::applicationName()}};
    return ns::Pasteboard::write(kRegisterPasteboard, apps);
}

QString TVApi::registeredAppId() {
    return g_appId;
}

bool TVApi::handleOpenURL(const QUrl& url, TVApiDelegate* delegate) {
    if (!delegate || g_appId.isEmpty() || !url.isValid()) return false;
    if (url.scheme().compare(g_appId, Qt::CaseInsensitive) != 0) return false;
    const QUrlQuery query(url);
    const QString kind = url.host().toLower();
    if (kind == "sendresp") {
        SendMessageToTVResp resp;
        fillResp(resp, query);
        resp.setLang(queryValue(query, "lang"));
        resp.setCountry(queryValue(query, "country"));
        delegate->onResp(resp);
    } else if (kind == "authresp") {
        SendAuthResp resp;
        fillResp(resp, query);
        resp.setCode(queryValue(query, "code"));
        resp.setState(queryValue(query, "state"));
        delegate->onResp(resp);
    } else if (kind == "getmsg") {
        delegate->onReq(GetMessageFromTVReq());
    } else if (kind == "showmsg") {
        delegate->onReq(ShowMessageFromTVReq());
    } else {
        return false; // our scheme, but nothing Talvo sends
    }
    return true;
}

bool TVApi::isTVAppInstalled() {
    return ns::UrlOpener::canOpenURL(QUrl(QString(kScheme) + "://"));
}

bool TVApi::isTVAppSupportApi() {
    return isTVAppInstalled() && ns::UrlOpener::canOpenURL(QUrl(QString(kApiScheme) + "://"));
}

bool TVApi::sendReq(const BaseReq& req) {
    const auto* send = dynamic_cast<const SendMessageToTVReq*>(&req);
    if (!send || g_appId.isEmpty()) return false;
    if (!send->bText() && !send->message()) return false;
    if (!ns::Pasteboard::write(g_appId, recordOf(*send))) return false;
    return ns::UrlOpener::openURL(QUrl(QString("%1://app/%2/sendreq/").arg(kScheme, g_appId)));
}

void TVApi::resetForTesting() {
    g_appId.clear();
}
