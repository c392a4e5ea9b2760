#pragma once

#include <QByteArray>
#include <QString>

class QHttpServerRequest;
class QTcpSocket;

namespace sandbox {

class Backend;
struct HttpAnswer;

// The operator's web pages the client shows in its in-app browser, under
// <base>ulvek/...: the subscriber pages (they check "num"/"phone", "session" and decrypt
// "encpn" with "nonce"), the service pages, a page that calls every native function of the
// client's page bridge, and a picture to share. Any other page path under the prefix gets a
// plain page that names itself.
class WebPages {
public:
    // The path every page lives under.
    static constexpr const char* kPrefix = "/pelvo/ulvek/";
    // The key prefix of "encpn" in page addresses.
    static constexpr const char* kPageKeyPrefix = "Tq4VbN8sWp2LmRx7";

    // Serves the request when it is a page; false leaves it to the server.
    static bool handle(const QHttpServerRequest& request, Backend& backend, QTcpSocket* socket);
    // The answer for a page path (below the prefix) and its query.
    static HttpAnswer page(const QString& path, const QString& query, Backend& backend,
                           const QString& pageBase);
};

} // namespace sandbox
