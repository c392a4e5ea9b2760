#pragma once

#include <QString>

// A server address in parts. The application keeps a slot for one but never fills it.
struct PCConfigDO {
    int cid = 1;
    QString urlProtocol;
    QString urlIP;
    QString urlPort;
    QString urlPath;
    QString urlFullUrl;

    // "protocol://ip:port/path" (the path carries its own leading "/").
    QString toUrlString() const {
        return QStringLiteral("%1://%2:%3%4").arg(urlProtocol, urlIP, urlPort, urlPath);
    }
};
