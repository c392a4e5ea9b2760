#pragma once

#include "sandbox/DemoData.h"

#include <QString>

namespace sandbox {

// How a sandbox starts (the command-line options of tavrix-sandbox).
struct SandboxOptions {
    quint16 port = 0;                                   // 0: any free port
    QString databasePath = QStringLiteral(":memory:");  // created and seeded when new
    bool reseed = false;                                // write the demo data again
    qint64 sessionTtlSeconds = 30 * 60;                 // idle time after which a session expires
    QString gatewayNumber = DemoData::primary().number; // empty: the gateway refuses
    qint64 maxBodyBytes = 1024 * 1024;                  // larger request bodies get 413
    int idleTimeoutMs = 15000;    // a connection silent this long before its request is in
    int requestTimeoutMs = 60000; // the time a whole request may take to arrive
    int writeTimeoutMs = 30000;   // the time a client may take to read its answer
    qint64 maxUnsentBytes = 256LL * 1024 * 1024; // answers not yet written, across connections
};

} // namespace sandbox
