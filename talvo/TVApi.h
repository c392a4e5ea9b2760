#pragma once

#include <QString>
#include <QUrl>

class BaseReq;
class TVApiDelegate;

// The Talvo app switch. Outgoing: the request is put on the pasteboard named after the
// application id and "talvo://app/<id>/sendreq/" is opened. Incoming: Talvo opens
// "<id>://<kind>?errCode=..&errStr=.." where kind is "sendresp", "authresp" (with code and
// state), "getmsg" or "showmsg".
class TVApi {
public:
    TVApi() = delete;

    static constexpr const char* kRegisterPasteboard = "talvo_register";
    static constexpr const char* kScheme = "talvo";
    // Registered by a Talvo app that speaks this interface version.
    static constexpr const char* kApiScheme = "talvoapi";

    // Keeps the id for the life of the process and records it on "talvo_register".
    static bool registerApp(const QString& appid);
    static QString registeredAppId();
    // Decodes Talvo's reply to this application and hands it to the delegate.
    static bool handleOpenURL(const QUrl& url, TVApiDelegate* delegate);
    static bool isTVAppInstalled();
    static bool isTVAppSupportApi();
    // Whether the Talvo app took the request.
    static bool sendReq(const BaseReq& req);

    // Tests start from an unregistered library.
    static void resetForTesting();
};
