#pragma once

#include "sandbox/HttpAnswer.h"
#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "VersionCheck" (needs a session): for the client "type" and its "appversion", either
// "version" -1 (it is the latest) or the newer release's "version", "content" (what is new)
// and "url" (where to get it). With no release on record every client is the latest.
//
// Releases are set with POST /sandbox/release: "type" (default "2"), "version" (a number;
// empty or -1 removes the release), "content", "url".
class VersionCheckInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);

    // A newer release for clients of the type; version -1 removes it.
    static bool setRelease(Backend& backend, const QString& type, qint64 version,
                           const QString& content, const QString& url);
    // The control endpoint (/sandbox/release).
    static HttpAnswer control(Backend& backend, bool isPost, const FormFields& fields);
};

} // namespace sandbox
