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
        // The home page: accounts (shared), adverts, tiles and their pictures.
        {
            QStringLiteral("CREATE TABLE IF NOT EXISTS accounts ("
                           " number TEXT PRIMARY KEY REFERENCES subscribers(number)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " balance_fen INTEGER NOT NULL DEFAULT 0,"
                           " month_charge_fen INTEGER NOT NULL DEFAULT 0,"
                           " points INTEGER NOT NULL DEFAULT 0)"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS home_adverts ("
                           " position INTEGER NOT NULL, ord INTEGER NOT NULL,"
                           " name TEXT NOT NULL DEFAULT '', picture TEXT NOT NULL DEFAULT '',"
                           " data TEXT NOT NULL DEFAULT '', for_native TEXT NOT NULL DEFAULT '',"
                           " storyboard TEXT NOT NULL DEFAULT '',"
                           " view_name TEXT NOT NULL DEFAULT '',"
                           " PRIMARY KEY (position, ord))"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS home_tiles ("
                           " position INTEGER PRIMARY KEY, title TEXT NOT NULL DEFAULT '',"
                           " main_desc TEXT NOT NULL DEFAULT '', picture TEXT NOT NULL DEFAULT '',"
                           " type INTEGER NOT NULL DEFAULT 0,"
                           " storyboardname TEXT NOT NULL DEFAULT '',"
                           " viewname TEXT NOT NULL DEFAULT '', forward TEXT NOT NULL DEFAULT '')"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS home_pictures ("
                           " name TEXT PRIMARY KEY, png BLOB NOT NULL)"),
        },
        {
            // Self-service: package names, offers, the log-in SMS notice, feedback, releases.
            QStringLiteral("CREATE TABLE IF NOT EXISTS personal_info ("
                           " number TEXT PRIMARY KEY REFERENCES subscribers(number)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " packagename TEXT NOT NULL DEFAULT '',"
                           " curflow TEXT NOT NULL DEFAULT '')"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS offers ("
                           " marketid TEXT PRIMARY KEY,"
                           " categoryid TEXT NOT NULL DEFAULT '',"
                           " marketname TEXT NOT NULL DEFAULT '',"
                           " markettype TEXT NOT NULL DEFAULT '',"
                           " useflag TEXT NOT NULL DEFAULT '',"
                           " fee TEXT NOT NULL DEFAULT '',"
                           " brand TEXT NOT NULL DEFAULT '',"
                           " shortdesc TEXT NOT NULL DEFAULT '',"
                           " subscribers TEXT NOT NULL DEFAULT '',"
                           " configflag INTEGER NOT NULL DEFAULT 1,"
                           " busiicon TEXT NOT NULL DEFAULT '',"
                           " hot INTEGER NOT NULL DEFAULT 0,"
                           " sort INTEGER NOT NULL DEFAULT 0)"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS offer_likes ("
                           " number TEXT NOT NULL REFERENCES subscribers(number)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " marketid TEXT NOT NULL REFERENCES offers(marketid)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " sort INTEGER NOT NULL DEFAULT 0,"
                           " PRIMARY KEY (number, marketid))"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS login_sms ("
                           " number TEXT PRIMARY KEY REFERENCES subscribers(number)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " notify TEXT NOT NULL)"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS feedback ("
                           " id INTEGER PRIMARY KEY AUTOINCREMENT,"
                           " number TEXT NOT NULL,"
                           " type TEXT NOT NULL DEFAULT '',"
                           " content TEXT NOT NULL,"
                           " star TEXT NOT NULL DEFAULT '',"
                           " channelid TEXT NOT NULL DEFAULT '',"
                           " versionid TEXT NOT NULL DEFAULT '',"
                           " imei TEXT NOT NULL DEFAULT '')"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS app_release ("
                           " type TEXT PRIMARY KEY,"
                           " version INTEGER NOT NULL,"
                           " content TEXT NOT NULL DEFAULT '',"
                           " url TEXT NOT NULL DEFAULT '')"),
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
        {
            // Bills, recharges and points.
            QStringLiteral("CREATE TABLE IF NOT EXISTS accounts ("
                           " number TEXT PRIMARY KEY REFERENCES subscribers(number)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " balance_fen INTEGER NOT NULL DEFAULT 0,"
                           " month_charge_fen INTEGER NOT NULL DEFAULT 0,"
                           " points INTEGER NOT NULL DEFAULT 0)"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS bill_months ("
                           " number TEXT NOT NULL REFERENCES subscribers(number)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " ym TEXT NOT NULL, others_pay_fen INTEGER NOT NULL DEFAULT 0,"
                           " PRIMARY KEY (number, ym))"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS bill_groups ("
                           " number TEXT NOT NULL REFERENCES subscribers(number)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " ym TEXT NOT NULL, position INTEGER NOT NULL, name TEXT NOT NULL,"
                           " PRIMARY KEY (number, ym, position))"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS bill_items ("
                           " number TEXT NOT NULL REFERENCES subscribers(number)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " ym TEXT NOT NULL, group_position INTEGER NOT NULL,"
                           " position INTEGER NOT NULL, name TEXT NOT NULL,"
                           " amount_fen INTEGER NOT NULL,"
                           " PRIMARY KEY (number, ym, group_position, position))"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS recharges ("
                           " id INTEGER PRIMARY KEY AUTOINCREMENT, ref TEXT UNIQUE,"
                           " number TEXT NOT NULL REFERENCES subscribers(number)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " charged_at TEXT NOT NULL, amount_fen INTEGER NOT NULL,"
                           " fee_type TEXT NOT NULL DEFAULT '')"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS recharges_by_number"
                           " ON recharges(number, charged_at)"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS recharge_cards ("
                           " cardno TEXT PRIMARY KEY, password TEXT NOT NULL,"
                           " amount_fen INTEGER NOT NULL, used_by TEXT, used_at TEXT)"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS payment_orders ("
                           " token TEXT PRIMARY KEY,"
                           " number TEXT NOT NULL REFERENCES subscribers(number)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " amount_fen INTEGER NOT NULL, pay_fen INTEGER NOT NULL,"
                           " created_at TEXT NOT NULL, paid_at TEXT)"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS points_products ("
                           " productid TEXT PRIMARY KEY, position INTEGER NOT NULL,"
                           " name TEXT NOT NULL, price INTEGER NOT NULL,"
                           " picture TEXT NOT NULL DEFAULT '')"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS points_years ("
                           " number TEXT PRIMARY KEY REFERENCES subscribers(number)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " added INTEGER NOT NULL DEFAULT 0,"
                           " will_invalid INTEGER NOT NULL DEFAULT 0,"
                           " will_invalid_ym TEXT NOT NULL DEFAULT '')"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS points_exchanges ("
                           " id INTEGER PRIMARY KEY AUTOINCREMENT,"
                           " number TEXT NOT NULL REFERENCES subscribers(number)"
                           "  ON DELETE CASCADE ON UPDATE CASCADE,"
                           " productid TEXT NOT NULL, name TEXT NOT NULL,"
                           " point INTEGER NOT NULL, exchanged_at TEXT NOT NULL)"),
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
