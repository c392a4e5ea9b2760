#pragma once

#include <QDate>
#include <QString>

namespace sandbox {

class Database;

// Each subscriber's bills, recharges and points: monthly bills with their charge groups and
// family members for this month and the five before it, recharges over those months,
// recharge cards, the points products and exchanges, and payment orders of the payment page.
class BillingData {
public:
    // Writes the demo records, restoring any that were changed (used cards become unused,
    // points and exchanges go back to their seeded state). Bills and recharges are dated from
    // today, so a database seeded now shows the last six months.
    static bool seed(Database& db);

    // "yyyyMM" of the month of day.
    static QString monthKey(const QDate& day);
    // The month an "ym" field names: "0" for this month, else "yyyyMM"; invalid for anything
    // else.
    static QDate monthOf(const QString& ym, const QDate& today);
    // Whole yuan in text ("50", not "50.5" or "abc") as fen; -1 when it is not.
    static qint64 wholeYuanFen(const QString& text);
    // Adds amountFen to the subscriber's credit and records the recharge with its kind; false
    // when the subscriber has no account. Runs inside the caller's transaction.
    static bool credit(Database& db, const QString& number, qint64 amountFen,
                       const QString& feeType);
    static QString now(); // "yyyy-MM-dd HH:mm:ss"
};

} // namespace sandbox
