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
            // Data plans, packs and usage (data-usage screens).
            QStringLiteral("CREATE TABLE IF NOT EXISTS flow_products ("
                           " product_id INTEGER PRIMARY KEY,"
                           " market_id TEXT NOT NULL,"
                           " name TEXT NOT NULL,"
                           " kind TEXT NOT NULL," // plan, pack, spare
                           " size_kb INTEGER NOT NULL,"
                           " fee TEXT NOT NULL,"
                           " network TEXT NOT NULL DEFAULT 'any',"
                           " description TEXT NOT NULL DEFAULT '',"
                           " recommended INTEGER NOT NULL DEFAULT 0)"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS flow_lines ("
                           " number TEXT PRIMARY KEY REFERENCES subscribers(number)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " is_4g INTEGER NOT NULL DEFAULT 0,"
                           " daily_min_kb INTEGER NOT NULL DEFAULT 0,"
                           " daily_max_kb INTEGER NOT NULL DEFAULT 0)"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS flow_plans ("
                           " number TEXT NOT NULL REFERENCES subscribers(number)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " from_month TEXT NOT NULL,"
                           " product_id INTEGER NOT NULL REFERENCES flow_products(product_id),"
                           " PRIMARY KEY (number, from_month))"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS flow_orders ("
                           " id INTEGER PRIMARY KEY AUTOINCREMENT,"
                           " number TEXT NOT NULL REFERENCES subscribers(number)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " product_id INTEGER NOT NULL REFERENCES flow_products(product_id),"
                           " month TEXT NOT NULL)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS flow_orders_by_number"
                           " ON flow_orders(number, month)"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS flow_daily ("
                           " number TEXT NOT NULL REFERENCES subscribers(number)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " day TEXT NOT NULL,"
                           " amount_kb INTEGER NOT NULL,"
                           " PRIMARY KEY (number, day))"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS flow_free ("
                           " number TEXT NOT NULL REFERENCES subscribers(number)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " name TEXT NOT NULL,"
                           " amount_kb INTEGER NOT NULL,"
                           " total_kb INTEGER NOT NULL,"
                           " PRIMARY KEY (number, name))"),
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
