#pragma once

#include <QString>
#include <QUrl>

class MRBaseRequest;
class MirebSDKDelegate;

// The Mireb app switch. A request goes onto a pasteboard named by a fresh transfer id and
// "mirebsdk://request?id=<id>&sdkversion=<v>" is opened; the Mireb app answers by putting
// its response on the pasteboard of that id and opening
// "mr<appkey>://response?id=<id>&sdkversion=<v>" (or "://request" for a request of its own).
class MirebSDK {
public:
    MirebSDK() = delete;

    static constexpr const char* kRegisteredAppsPasteboard = "mirebsdk_registed_apps";
    static constexpr const char* kSDKVersion = "2.5";

    static void enableDebugMode(bool enabled);
    static bool isDebugMode();
    static bool registerApp(const QString& appKey);
    static QString registeredAppKey();
    // "mr" followed by the application key.
    static QString callbackScheme();
    static bool handleOpenURL(const QUrl& url, MirebSDKDelegate* delegate);
    // Whether the Mireb app took the request.
    static bool sendRequest(MRBaseRequest& request);

    static void resetForTesting();
};
