#include "sandbox/Schema.h"

#include "sandbox/Database.h"

#include <QStringList>
#include <vector>

namespace sandbox {

namespace {

// Step n brings a database from version n to n + 1. Only ever append.
const std::vector<QStringList>& steps() {
    static const std::vector<QStringList> list = {
        {
            QStringLiteral("CREATE TABLE subscribers ("
                           " number TEXT PRIMARY KEY,"
                           " password TEXT NOT NULL,"
                           " name TEXT NOT NULL DEFAULT '',"
                           " star_level TEXT NOT NULL DEFAULT '')"),
            QStringLiteral("CREATE TABLE sessions ("
                           " token TEXT PRIMARY KEY,"
                           " number TEXT NOT NULL REFERENCES subscribers(number)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " expires_at INTEGER NOT NULL)"),
            QStringLiteral("CREATE INDEX sessions_by_number ON sessions(number)"),
        },
        {
            // Every log-in sweeps expired sessions: without this it scans them all.
            QStringLiteral("CREATE INDEX IF NOT EXISTS sessions_by_expiry ON sessions(expires_at)"),
        },
    };
    return list;
}

} // namespace

int Schema::currentVersion() {
    return int(steps().size());
}

bool Schema::migrate(Database& db, bool* wasEmpty, QString* error) {
    const int from = db.scalar(QStringLiteral("PRAGMA user_version")).toInt();
    if (wasEmpty) *wasEmpty = from == 0;
    if (from > currentVersion()) {
        if (error)
            *error = QStringLiteral("database version %1 is newer than this sandbox (%2)")
                         .arg(from)
                         .arg(currentVersion());
        return false;
    }
    for (int version = from; version < currentVersion(); ++version) {
        const bool ok = db.transaction([&] {
            for (const QString& sql : steps()[size_t(version)])
                if (!db.exec(sql)) return false;
            return db.exec(QStringLiteral("PRAGMA user_version = %1").arg(version + 1));
        });
        if (!ok) {
            if (error) *error = db.lastError();
            return false;
        }
    }
    return true;
}

} // namespace sandbox
