#include "sandbox/BillingData.h"

#include "sandbox/Database.h"
#include "sandbox/DemoData.h"
#include "sandbox/PaymentPage.h"
#include "sandbox/PictureStore.h"

#include <QDateTime>
#include <QRegularExpression>
#include <iterator>

namespace sandbox {

namespace {

struct Item {
    const char* name;
    qint64 fen;
};
struct Group {
    const char* name;
    std::initializer_list<Item> items;
};

// A month's charges before the per-month variation; the last group has nothing to open.
const Group kGroups[] = {
    {"套餐及固定费", {{"基本套餐费", 5800}, {"来电显示功能费", 500}}},
    {"语音通信费", {{"本地通话费", 1260}, {"国内长途通话费", 480}, {"国内漫游通话费", 0}}},
    {"上网费", {{"国内数据流量费", 1500}}},
    {"短彩信费", {{"点对点短信费", 230}, {"彩信费", 60}}},
    {"增值业务费", {}},
};

struct Family {
    const char* member;
    qint64 fen;
};
// Subscribers 1 and 2 share a family group.
const Family kFamily[] = {{"13800000001 张伟", 3650}, {"13800000002 王芳", 2880}};

struct Card {
    const char* number;
    const char* password;
    qint64 fen;
};
const Card kCards[] = {
    {"10000000000000001", "100000000000000001", 5000},
    {"10000000000000002", "100000000000000002", 10000},
    {"10000000000000003", "100000000000000003", 3000},
    {"10000000000000004", "100000000000000004", 2000},
};

struct Product {
    const char* id;
    const char* name;
    qint64 price;
    QRgb from, to;
};
const Product kProducts[] = {
    {"P1001", "10元话费", 1000, qRgb(0x46, 0x8c, 0xca), qRgb(0x9f, 0xc8, 0xec)},
    {"P1002", "30元话费", 2800, qRgb(0x2d, 0x98, 0x58), qRgb(0x9c, 0xd8, 0xb2)},
    {"P1003", "100M流量包", 1500, qRgb(0xca, 0x56, 0x44), qRgb(0xf0, 0xb0, 0xa4)},
    {"P1004", "500M流量包", 5000, qRgb(0x7b, 0x52, 0xab), qRgb(0xc7, 0xb3, 0xe0)},
    {"P1005", "视频会员月卡", 3000, qRgb(0xe6, 0x8a, 0x00), qRgb(0xff, 0xd5, 0x80)},
    {"P1006", "定制保温杯", 8000, qRgb(0x00, 0x89, 0x7b), qRgb(0x80, 0xcb, 0xc4)},
    {"P1007", "蓝牙耳机", 20000, qRgb(0x54, 0x6e, 0x7a), qRgb(0xb0, 0xbe, 0xc5)},
};

// Points gained this year and about to expire, per subscriber.
const QPair<qint64, qint64> kPointsYear[] = {{860, 300}, {4200, 0}, {120, 45}, {0, 0}};

// Recharges per subscriber: months back, day, amount, kind.
struct Recharge {
    int monthsBack;
    int day;
    qint64 fen;
    const char* kind;
};
const Recharge kRecharges[][4] = {
    {{0, 2, 5000, "银行卡"},
     {1, 15, 10000, "充值卡"},
     {3, 8, 5000, "银行卡"},
     {5, 20, 3000, "营业厅"}},
    {{1, 3, 20000, "银行卡"}, {2, 11, 5000, "充值卡"}, {4, 27, 10000, "银行卡"}, {-1, 0, 0, ""}},
    {{0, 1, 3000, "营业厅"}, {-1, 0, 0, ""}, {-1, 0, 0, ""}, {-1, 0, 0, ""}},
    {{-1, 0, 0, ""}, {-1, 0, 0, ""}, {-1, 0, 0, ""}, {-1, 0, 0, ""}},
};

bool seedBills(Database& db, const QDate& today) {
    const auto& subscribers = DemoData::subscribers();
    for (qsizetype s = 0; s < subscribers.size(); ++s) {
        const QString number = subscribers[s].number;
        for (int back = 0; back < 6; ++back) {
            const QString ym = BillingData::monthKey(today.addMonths(-back));
            // Each subscriber and month a little different, always whole fen.
            const int percent = 80 + int((s * 17 + back * 11) % 45);
            for (const char* table : {"bill_groups", "bill_items", "bill_months"})
                if (!db.exec(
                        QStringLiteral("DELETE FROM %1 WHERE number = ? AND ym = ?").arg(table),
                        {number, ym}))
                    return false;
            int g = 0;
            qint64 total = 0;
            for (const Group& group : kGroups) {
                if (!db.exec(QStringLiteral("INSERT INTO bill_groups (number, ym, position, name)"
                                            " VALUES (?, ?, ?, ?)"),
                             {number, ym, g, QString::fromUtf8(group.name)}))
                    return false;
                int i = 0;
                for (const Item& item : group.items) {
                    const qint64 fen = g == 0 ? item.fen : item.fen * percent / 100;
                    total += fen;
                    if (!db.exec(QStringLiteral("INSERT INTO bill_items (number, ym,"
                                                " group_position, position, name, amount_fen)"
                                                " VALUES (?, ?, ?, ?, ?, ?)"),
                                 {number, ym, g, i++, QString::fromUtf8(item.name), fen}))
                        return false;
                }
                ++g;
            }
            // The family group's members, under group position -1.
            if (s < qsizetype(std::size(kFamily))) {
                int i = 0;
                for (const Family& f : kFamily)
                    if (!db.exec(
                            QStringLiteral("INSERT INTO bill_items (number, ym,"
                                           " group_position, position, name, amount_fen)"
                                           " VALUES (?, ?, -1, ?, ?, ?)"),
                            {number, ym, i++, QString::fromUtf8(f.member), f.fen * percent / 100}))
                        return false;
            }
            // The home page's charges so far are this month's bill.
            if (back == 0 &&
                !db.exec(
                    QStringLiteral("UPDATE accounts SET month_charge_fen = ? WHERE number = ?"),
                    {total, number}))
                return false;
            const qint64 othersPay = s == 1 ? 3000 : 0;
            if (!db.exec(QStringLiteral("INSERT INTO bill_months (number, ym, others_pay_fen)"
                                        " VALUES (?, ?, ?)"),
                         {number, ym, othersPay}))
                return false;
        }
    }
    return true;
}

bool seedRecharges(Database& db, const QDate& today) {
    const auto& subscribers = DemoData::subscribers();
    // A reseed puts the accounts back, so the recharges and orders made since go too.
    if (!db.exec(QStringLiteral("DELETE FROM recharges")) ||
        !db.exec(QStringLiteral("DELETE FROM payment_orders")))
        return false;
    for (qsizetype s = 0; s < subscribers.size() && s < qsizetype(std::size(kRecharges)); ++s) {
        int n = 0;
        for (const Recharge& r : kRecharges[s]) {
            if (r.monthsBack < 0) continue;
            const QDate month = today.addMonths(-r.monthsBack);
            const QDate day(month.year(), month.month(), std::min(r.day, month.daysInMonth()));
            if (!db.exec(QStringLiteral("INSERT INTO recharges (ref, number, charged_at,"
                                        " amount_fen, fee_type) VALUES (?, ?, ?, ?, ?)"),
                         {QStringLiteral("seed-%1-%2").arg(s).arg(n++), subscribers[s].number,
                          day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 10:30:00"),
                          r.fen, QString::fromUtf8(r.kind)}))
                return false;
        }
    }
    return true;
}

bool seedPoints(Database& db, const QDate& today) {
    const auto& subscribers = DemoData::subscribers();
    int position = 0;
    for (const Product& p : kProducts) {
        const QString picture = QStringLiteral("points_%1.png").arg(QString::fromLatin1(p.id));
        if (!db.exec(QStringLiteral("INSERT INTO home_pictures (name, png) VALUES (?, ?)"
                                    " ON CONFLICT(name) DO UPDATE SET png = excluded.png"),
                     {picture, PictureStore::drawPng(120, 100, QColor(p.from), QColor(p.to))}))
            return false;
        if (!db.exec(QStringLiteral("INSERT INTO points_products (productid, position, name,"
                                    " price, picture) VALUES (?, ?, ?, ?, ?) ON CONFLICT(productid)"
                                    " DO UPDATE SET position = excluded.position,"
                                    " name = excluded.name, price = excluded.price,"
                                    " picture = excluded.picture"),
                     {QString::fromLatin1(p.id), position++, QString::fromUtf8(p.name), p.price,
                      picture}))
            return false;
    }
    for (qsizetype s = 0; s < subscribers.size(); ++s) {
        const auto& year = kPointsYear[size_t(s) % std::size(kPointsYear)];
        if (!db.exec(QStringLiteral("INSERT INTO points_years (number, added, will_invalid,"
                                    " will_invalid_ym) VALUES (?, ?, ?, ?) ON CONFLICT(number)"
                                    " DO UPDATE SET added = excluded.added,"
                                    " will_invalid = excluded.will_invalid,"
                                    " will_invalid_ym = excluded.will_invalid_ym"),
                     {subscribers[s].number, year.first, year.second,
                      QStringLiteral("%1年12月31日").arg(today.year())}))
            return false;
        if (!db.exec(QStringLiteral("DELETE FROM points_exchanges WHERE number = ?"),
                     {subscribers[s].number}))
            return false;
    }
    // One earlier exchange of the first subscriber.
    return db.exec(
        QStringLiteral("INSERT INTO points_exchanges (number, productid, name, point,"
                       " exchanged_at) VALUES (?, 'P1001', '10元话费', 1000, ?)"),
        {subscribers.first().number,
         today.addMonths(-2).toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 09:12:00")});
}

} // namespace

QString BillingData::monthKey(const QDate& day) {
    return day.toString(QStringLiteral("yyyyMM"));
}

QDate BillingData::monthOf(const QString& ym, const QDate& today) {
    if (ym == u"0") return QDate(today.year(), today.month(), 1);
    static const QRegularExpression form(QStringLiteral("^([0-9]{4})(0[1-9]|1[0-2])$"));
    const auto match = form.match(ym);
    if (!match.hasMatch()) return {};
    return QDate(match.captured(1).toInt(), match.captured(2).toInt(), 1);
}

qint64 BillingData::wholeYuanFen(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,6}$"));
    if (!digits.match(text).hasMatch()) return -1;
    return text.toLongLong() * 100;
}

QString BillingData::now() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

bool BillingData::credit(Database& db, const QString& number, qint64 amountFen,
                         const QString& feeType) {
    if (!db.exec(QStringLiteral("UPDATE accounts SET balance_fen = balance_fen + ?"
                                " WHERE number = ?"),
                 {amountFen, number}) ||
        db.changes() != 1)
        return false;
    return db.exec(QStringLiteral("INSERT INTO recharges (number, charged_at, amount_fen,"
                                  " fee_type) VALUES (?, ?, ?, ?)"),
                   {number, now(), amountFen, feeType});
}

bool BillingData::seed(Database& db) {
    const QDate today = QDate::currentDate();
    return db.transaction([&db, &today] {
        for (const Card& c : kCards)
            if (!db.exec(QStringLiteral("INSERT INTO recharge_cards (cardno, password, amount_fen,"
                                        " used_by, used_at) VALUES (?, ?, ?, NULL, NULL)"
                                        " ON CONFLICT(cardno) DO UPDATE SET"
                                        " password = excluded.password,"
                                        " amount_fen = excluded.amount_fen, used_by = NULL,"
                                        " used_at = NULL"),
                         {QString::fromLatin1(c.number), QString::fromLatin1(c.password), c.fen}))
                return false;
        return seedBills(db, today) && seedRecharges(db, today) && seedPoints(db, today) &&
               PaymentPage::seedPictures(db);
    });
}

} // namespace sandbox
