#pragma once

#include <QDate>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace sandbox {

class Database;

// One data product of the catalogue: a data plan, an add-on pack or an idle-time pack.
struct FlowProduct {
    qint64 id = 0;
    QString marketId;
    QString name;
    QString kind; // "plan", "pack", "spare"
    qint64 sizeKb = 0;
    QString fee;     // yuan, as the operator writes it
    QString network; // "any", "4g", "23g"
    QString description;
    bool recommended = false;
};

// Each subscriber's data plan, packs and usage. Daily usage is generated once per day and
// kept, so the history grows by a day every day the sandbox is asked; months and bills are
// derived from it.
class FlowData {
public:
    // The catalogue, each demo line's plan and free resources, and usage for the last months.
    static bool seed(Database& db);

    // The sandbox's calendar day.
    static QDate today() { return QDate::currentDate(); }
    static QString monthKey(const QDate& day) { return day.toString(QStringLiteral("yyyyMM")); }

    // Generates the usage of the days before `day` that are not yet recorded (day itself is
    // still running and has no figure yet).
    static bool fillUsageBefore(Database& db, const QString& number, const QDate& day);

    static std::optional<FlowProduct> product(Database& db, qint64 id);
    static QList<FlowProduct> catalogue(Database& db, const QString& kind);
    // The plan in force in a month ("yyyyMM"), and the one that replaces it next month.
    static std::optional<FlowProduct> planOf(Database& db, const QString& number,
                                             const QString& month);
    static bool is4g(Database& db, const QString& number);

    // KB used in the days of a month before `until`.
    static qint64 usedInMonth(Database& db, const QString& number, const QString& month);
    // Packs bought in a month, oldest first.
    static QList<FlowProduct> ordersOf(Database& db, const QString& number, const QString& month,
                                       const QString& kind);
    // The "list" of "FreeResourceForOtherList": records with "productName", "amount", "total".
    static QJsonArray freeResources(Database& db, const QString& number);

    // "gntyll", "gntytotal", "qtll", "is_4g" of today.
    static QJsonObject balance(Database& db, const QString& number);
    // A product's fee as the operator's server sends it: a JSON number (9.9, 10).
    static QJsonValue feeValue(const FlowProduct& product);
    // A product record in the key set of "FlowProduct" (recommended) or "FlowRecommend".
    static QJsonObject record(Database& db, const QString& number, const FlowProduct& product,
                              bool recommendedKeys);

    // Orders a product; returns the refusal text, or empty on success.
    static QString order(Database& db, const QString& number, qint64 productId,
                         const QString& marketId);
};

} // namespace sandbox
