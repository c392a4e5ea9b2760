#include "sandbox/FlowData.h"

#include "sandbox/Database.h"
#include "sandbox/DemoData.h"

#include <QJsonValue>
#include <algorithm>

namespace sandbox {

namespace {

constexpr qint64 kMB = 1024;
constexpr qint64 kGB = 1024 * 1024;
// Usage is kept for about six months back, so every month button has a bill.
constexpr int kHistoryDays = 190;

const QString kDay = QStringLiteral("yyyy-MM-dd");

struct Line {
    QString number;
    bool is4g;
    qint64 planId;
    qint64 dailyMinKb, dailyMaxKb;
    QList<QPair<QString, QPair<qint64, qint64>>> free; // name -> (used, total)
};

const QList<FlowProduct>& demoCatalogue() {
    static const QList<FlowProduct> list = {
        {8800001000100, "M1000100", QStringLiteral("流量套餐100M"), "plan", 100 * kMB, "10", "any",
         QStringLiteral("每月100M国内流量，超出部分按0.29元/M计费"), false},
        {8800001000500, "M1000500", QStringLiteral("流量套餐500M"), "plan", 500 * kMB, "30", "any",
         QStringLiteral("每月500M国内流量，次月生效"), false},
        {8800001001024, "M1001024", QStringLiteral("流量套餐1G"), "plan", kGB, "50", "any",
         QStringLiteral("每月1G国内流量，次月生效"), false},
        {8800001002048, "M1002048", QStringLiteral("4G流量套餐2G"), "plan", 2 * kGB, "70", "4g",
         QStringLiteral("4G用户专享，每月2G国内流量"), false},
        {8800001004096, "M1004096", QStringLiteral("4G流量套餐4G"), "plan", 4 * kGB, "100", "4g",
         QStringLiteral("4G用户专享，每月4G国内流量"), false},
        {8800002000020, "M2000020", QStringLiteral("20M流量加油包"), "pack", 20 * kMB, "5", "any",
         QStringLiteral("当月有效，可重复订购"), false},
        {8800002000050, "M2000050", QStringLiteral("50M流量加油包"), "pack", 50 * kMB, "9.9", "any",
         QStringLiteral("当月有效，可重复订购"), true},
        {8800002000150, "M2000150", QStringLiteral("150M流量加油包"), "pack", 150 * kMB, "20",
         "any", QStringLiteral("当月有效，可重复订购"), true},
        {8800002000300, "M2000300", QStringLiteral("300M流量加油包"), "pack", 300 * kMB, "29.9",
         "any", QStringLiteral("当月有效，可重复订购"), false},
        {8800002001024, "M2001024", QStringLiteral("1G流量加油包"), "pack", kGB, "50", "any",
         QStringLiteral("当月有效，可重复订购"), false},
        {8800003000500, "M3000500", QStringLiteral("500M闲时流量包"), "spare", 500 * kMB, "5",
         "any", QStringLiteral("省内23点到次日08点有效，当月有效"), false},
        {8800003001024, "M3001024", QStringLiteral("1G闲时流量包"), "spare", kGB, "7.5", "any",
         QStringLiteral("省内23点到次日08点有效，当月有效"), false},
    };
    return list;
}

const QList<Line>& demoLines() {
    static const QList<Line> list = {
        {"13800000001",
         true,
         8800001001024,
         5 * kMB,
         45 * kMB,
         {{QStringLiteral("校园WLAN免费流量"), {256 * kMB, kGB}},
          {QStringLiteral("夜间闲时流量"), {100 * kMB, 500 * kMB}}}},
        {"13800000002",
         false,
         8800001000500,
         3 * kMB,
         25 * kMB,
         {{QStringLiteral("入网赠送流量"), {50 * kMB, 200 * kMB}}}},
        {"13800000003",
         true,
         8800001002048,
         10 * kMB,
         90 * kMB,
         {{QStringLiteral("到期赠送流量"), {0, 0}}}},
        {"13800000004", false, 8800001000100, 2 * kMB, 10 * kMB, {}},
    };
    return list;
}

// A stable pseudo-random figure per line and day (FNV-1a), so a database rebuilt on the same
// day has the same history.
quint32 stableHash(const QString& text) {
    quint32 h = 2166136261u;
    for (const char c : text.toUtf8()) {
        h ^= quint8(c);
        h *= 16777619u;
    }
    return h;
}

FlowProduct productFrom(const QVariantMap& row) {
    return {row.value("product_id").toLongLong(),
            row.value("market_id").toString(),
            row.value("name").toString(),
            row.value("kind").toString(),
            row.value("size_kb").toLongLong(),
            row.value("fee").toString(),
            row.value("network").toString(),
            row.value("description").toString(),
            row.value("recommended").toLongLong() != 0};
}

const QString kProductColumns = QStringLiteral(
    "p.product_id, p.market_id, p.name, p.kind, p.size_kb, p.fee, p.network, p.description,"
    " p.recommended");

QString nextMonth(const QDate& day) {
    return FlowData::monthKey(QDate(day.year(), day.month(), 1).addMonths(1));
}

} // namespace

bool FlowData::seed(Database& db) {
    for (const FlowProduct& p : demoCatalogue()) {
        if (!db.exec(QStringLiteral(
                         "INSERT INTO flow_products (product_id, market_id, name, kind, size_kb,"
                         " fee, network, description, recommended) VALUES (?,?,?,?,?,?,?,?,?)"
                         " ON CONFLICT(product_id) DO UPDATE SET market_id = excluded.market_id,"
                         " name = excluded.name, kind = excluded.kind, size_kb = excluded.size_kb,"
                         " fee = excluded.fee, network = excluded.network,"
                         " description = excluded.description,"
                         " recommended = excluded.recommended"),
                     {p.id, p.marketId, p.name, p.kind, p.sizeKb, p.fee, p.network, p.description,
                      p.recommended ? 1 : 0}))
            return false;
    }
    const QDate day = today();
    for (const Line& line : demoLines()) {
        // Re-seeding restores the line: its plan, no orders, its free resources.
        const bool ok =
            db.exec(QStringLiteral("INSERT INTO flow_lines (number, is_4g, daily_min_kb,"
                                   " daily_max_kb) VALUES (?,?,?,?) ON CONFLICT(number) DO UPDATE"
                                   " SET is_4g = excluded.is_4g,"
                                   " daily_min_kb = excluded.daily_min_kb,"
                                   " daily_max_kb = excluded.daily_max_kb"),
                    {line.number, line.is4g ? 1 : 0, line.dailyMinKb, line.dailyMaxKb}) &&
            db.exec(QStringLiteral("DELETE FROM flow_plans WHERE number = ?"), {line.number}) &&
            db.exec(QStringLiteral("INSERT INTO flow_plans (number, from_month, product_id)"
                                   " VALUES (?, '000000', ?)"),
                    {line.number, line.planId}) &&
            db.exec(QStringLiteral("DELETE FROM flow_orders WHERE number = ?"), {line.number}) &&
            db.exec(QStringLiteral("DELETE FROM flow_free WHERE number = ?"), {line.number});
        if (!ok) return false;
        for (const auto& f : line.free)
            if (!db.exec(QStringLiteral("INSERT INTO flow_free (number, name, amount_kb, total_kb)"
                                        " VALUES (?,?,?,?)"),
                         {line.number, f.first, f.second.first, f.second.second}))
                return false;
        if (!fillUsageBefore(db, line.number, day)) return false;
    }
    return true;
}

bool FlowData::fillUsageBefore(Database& db, const QString& number, const QDate& requested) {
    const QDate until = std::min(requested, today());
    const QList<QVariantMap> line = db.query(
        QStringLiteral("SELECT daily_min_kb, daily_max_kb FROM flow_lines WHERE number = ?"),
        {number});
    if (line.isEmpty()) return true; // a line without data service: nothing to record
    const qint64 lo = line.first().value("daily_min_kb").toLongLong();
    const qint64 hi = std::max(lo + 1, line.first().value("daily_max_kb").toLongLong());
    const QDate last = QDate::fromString(
        db.scalar(QStringLiteral("SELECT MAX(day) FROM flow_daily WHERE number = ?"), {number})
            .toString(),
        kDay);
    QDate day = until.addDays(-kHistoryDays);
    if (last.isValid() && last >= day) day = last.addDays(1);
    if (day >= until) return true;
    // A savepoint, not a transaction: seeding calls this inside its own.
    if (!db.exec(QStringLiteral("SAVEPOINT fill_usage"))) return false;
    for (; day < until; day = day.addDays(1)) {
        const QString text = day.toString(kDay);
        const qint64 amount = lo + qint64(stableHash(number + '|' + text) % quint32(hi - lo));
        if (!db.exec(QStringLiteral("INSERT OR IGNORE INTO flow_daily (number, day, amount_kb)"
                                    " VALUES (?,?,?)"),
                     {number, text, amount})) {
            db.exec(QStringLiteral("ROLLBACK TO fill_usage"));
            db.exec(QStringLiteral("RELEASE fill_usage"));
            return false;
        }
    }
    return db.exec(QStringLiteral("RELEASE fill_usage"));
}

std::optional<FlowProduct> FlowData::product(Database& db, qint64 id) {
    const QList<QVariantMap> rows =
        db.query(QStringLiteral("SELECT %1 FROM flow_products p WHERE p.product_id = ?")
                     .arg(kProductColumns),
                 {id});
    if (rows.isEmpty()) return std::nullopt;
    return productFrom(rows.first());
}

QList<FlowProduct> FlowData::catalogue(Database& db, const QString& kind) {
    QList<FlowProduct> list;
    for (const QVariantMap& row :
         db.query(QStringLiteral("SELECT %1 FROM flow_products p WHERE p.kind = ?"
                                 " ORDER BY p.size_kb, p.product_id")
                      .arg(kProductColumns),
                  {kind}))
        list.append(productFrom(row));
    return list;
}

std::optional<FlowProduct> FlowData::planOf(Database& db, const QString& number,
                                            const QString& month) {
    const QList<QVariantMap> rows =
        db.query(QStringLiteral("SELECT %1 FROM flow_plans f JOIN flow_products p"
                                " ON p.product_id = f.product_id WHERE f.number = ?"
                                " AND f.from_month <= ? ORDER BY f.from_month DESC LIMIT 1")
                     .arg(kProductColumns),
                 {number, month});
    if (rows.isEmpty()) return std::nullopt;
    return productFrom(rows.first());
}

bool FlowData::is4g(Database& db, const QString& number) {
    return db.scalar(QStringLiteral("SELECT is_4g FROM flow_lines WHERE number = ?"), {number})
               .toLongLong() != 0;
}

qint64 FlowData::usedInMonth(Database& db, const QString& number, const QString& month) {
    const QString prefix = month.left(4) + '-' + month.mid(4, 2) + '-';
    return db
        .scalar(QStringLiteral("SELECT COALESCE(SUM(amount_kb), 0) FROM flow_daily"
                               " WHERE number = ? AND substr(day, 1, 8) = ?"),
                {number, prefix})
        .toLongLong();
}

QList<FlowProduct> FlowData::ordersOf(Database& db, const QString& number, const QString& month,
                                      const QString& kind) {
    QList<FlowProduct> list;
    for (const QVariantMap& row :
         db.query(QStringLiteral("SELECT %1 FROM flow_orders o JOIN flow_products p"
                                 " ON p.product_id = o.product_id WHERE o.number = ?"
                                 " AND o.month = ? AND p.kind = ? ORDER BY o.id")
                      .arg(kProductColumns),
                  {number, month, kind}))
        list.append(productFrom(row));
    return list;
}

QJsonArray FlowData::freeResources(Database& db, const QString& number) {
    QJsonArray list;
    for (const QVariantMap& row :
         db.query(QStringLiteral("SELECT name, amount_kb, total_kb FROM flow_free"
                                 " WHERE number = ? ORDER BY rowid"),
                  {number}))
        list.append(QJsonObject{{"productName", row.value("name").toString()},
                                {"amount", row.value("amount_kb").toLongLong()},
                                {"total", row.value("total_kb").toLongLong()}});
    // Idle-time packs bought this month count as other free data, unused until night.
    for (const FlowProduct& p : ordersOf(db, number, monthKey(today()), "spare"))
        list.append(QJsonObject{{"productName", p.name}, {"amount", 0}, {"total", p.sizeKb}});
    return list;
}

QJsonObject FlowData::balance(Database& db, const QString& number) {
    const QDate day = today();
    const QString month = monthKey(day);
    fillUsageBefore(db, number, day);
    qint64 total = 0;
    if (const auto plan = planOf(db, number, month)) total += plan->sizeKb;
    for (const FlowProduct& p : ordersOf(db, number, month, "pack"))
        total += p.sizeKb;
    const qint64 left = std::max<qint64>(0, total - usedInMonth(db, number, month));
    qint64 other = 0;
    for (const QJsonValue& v : freeResources(db, number)) {
        const QJsonObject r = v.toObject();
        other += std::max<qint64>(0, r.value("total").toInteger() - r.value("amount").toInteger());
    }
    return {{"gntyll", left}, {"gntytotal", total}, {"qtll", other}, {"is_4g", is4g(db, number)}};
}

QJsonValue FlowData::feeValue(const FlowProduct& product) {
    bool ok = false;
    const double fee = product.fee.toDouble(&ok);
    return ok ? QJsonValue(fee) : QJsonValue(product.fee);
}

QJsonObject FlowData::record(Database& db, const QString& number, const FlowProduct& p,
                             bool recommendedKeys) {
    const QDate day = today();
    int state = 0;
    qint64 bought = 0;
    if (p.kind == "plan") {
        const auto current = planOf(db, number, monthKey(day));
        const auto next = planOf(db, number, nextMonth(day));
        if (current && current->id == p.id)
            state = 1;
        else if (next && next->id == p.id)
            state = 2;
    } else {
        bought = db.scalar(QStringLiteral("SELECT COUNT(*) FROM flow_orders WHERE number = ?"
                                          " AND month = ? AND product_id = ?"),
                           {number, monthKey(day), p.id})
                     .toLongLong();
    }
    // Ids go out as text: they do not fit the 53 bits a JSON number keeps exactly everywhere.
    const QString id = QString::number(p.id);
    const QJsonValue fee = feeValue(p);
    if (recommendedKeys)
        return {{"unit", p.sizeKb},      {"productId", id},        {"desc", p.description},
                {"productName", p.name}, {"marketId", p.marketId}, {"fee", fee},
                {"state", state},        {"number", bought}};
    return {{"freesource", p.sizeKb}, {"productshortid", id},   {"desc1", p.description},
            {"productname", p.name},  {"marketid", p.marketId}, {"fee", fee},
            {"state", state},         {"number", bought}};
}

QString FlowData::order(Database& db, const QString& number, qint64 productId,
                        const QString& marketId) {
    const auto p = product(db, productId);
    if (!p || p->marketId != marketId) return QStringLiteral("该产品不存在或已下架");
    const QDate day = today();
    if (p->kind == "plan") {
        if (p->network == "4g" && !is4g(db, number)) return QStringLiteral("该套餐仅限4G用户办理");
        const auto current = planOf(db, number, monthKey(day));
        const auto next = planOf(db, number, nextMonth(day));
        if (next && next->id == p->id)
            return current && current->id == p->id ? QStringLiteral("您已在使用该套餐")
                                                   : QStringLiteral("该套餐已办理，下月生效");
        // A plan change takes effect next month; a later change replaces an earlier one.
        return db.exec(QStringLiteral("INSERT INTO flow_plans (number, from_month, product_id)"
                                      " VALUES (?,?,?) ON CONFLICT(number, from_month)"
                                      " DO UPDATE SET product_id = excluded.product_id"),
                       {number, nextMonth(day), p->id})
                   ? QString()
                   : QStringLiteral("系统繁忙，请稍后再试");
    }
    const qint64 last =
        db.scalar(QStringLiteral("SELECT product_id FROM flow_orders WHERE number = ?"
                                 " ORDER BY id DESC LIMIT 1"),
                  {number})
            .toLongLong();
    if (last == p->id) return QStringLiteral("您刚刚已订购该流量包，请勿重复订购");
    return db.exec(QStringLiteral("INSERT INTO flow_orders (number, product_id, month)"
                                  " VALUES (?,?,?)"),
                   {number, p->id, monthKey(day)})
               ? QString()
               : QStringLiteral("系统繁忙，请稍后再试");
}

} // namespace sandbox
