#include "sandbox/SelfServiceData.h"

#include "sandbox/Database.h"
#include "sandbox/PictureStore.h"

#include <QColor>

namespace sandbox {

namespace {

struct Package {
    const char* number;
    const char* packagename;
    const char* curflow;
};

// configflag 2 is the family network (opened natively); the other ids pick their page.
struct Offer {
    const char* marketid;
    const char* marketname;
    const char* shortdesc;
    const char* fee;
    const char* subscribers;
    int configflag;
    int hot;
    int sort;
    QRgb from, to; // the icon's colours
};

struct Like {
    const char* number;
    const char* marketid;
    int sort;
};

constexpr Package kPackages[] = {
    {"13800000001", "4G飞享套餐58元", "4G流量包1GB"},
    {"13800000002", "动感地带校园套餐28元", "校园流量包500MB"},
    {"13800000003", "全球通商旅套餐128元", "4G流量包3GB"},
    {"13800000004", "神州畅听卡18元", ""},
};

constexpr Offer kOffers[] = {
    {"8010020140611005", "流量可选包", "按需选择流量包，当月生效，月底自动续订。", "10",
     "已有32万人办理", 1, 1, 1, qRgb(0x1e, 0x88, 0xe5), qRgb(0x00, 0xbc, 0xd4)},
    {"8010020140611001", "4G飞享套餐", "语音、流量、短信一体的4G套餐，多档可选。", "58",
     "已有18万人办理", 1, 1, 2, qRgb(0x43, 0xa0, 0x47), qRgb(0x9c, 0xcc, 0x65)},
    {"2010020140312002", "彩铃业务", "用您喜欢的歌曲代替单调的回铃音。", "5", "已有9万人办理", 1, 1,
     3, qRgb(0x8e, 0x24, 0xaa), qRgb(0xec, 0x40, 0x7a)},
    {"2010020140522001", "家庭网", "家人之间互打免费，最多可加入8名成员。", "10", "已有6万人办理",
     2, 1, 4, qRgb(0xe5, 0x39, 0x35), qRgb(0xef, 0x9a, 0x9a)},
    {"2010020140312004", "天气预报", "每天早上发送本地天气，出行早知道。", "3", "已有4万人办理", 1,
     0, 5, qRgb(0x00, 0x89, 0x7b), qRgb(0x80, 0xcb, 0xc4)},
    {"2010020140101001", "手机阅读", "海量图书随身看，包月畅读精品书库。", "5", "已有7万人办理", 1,
     0, 6, qRgb(0xff, 0x70, 0x43), qRgb(0xff, 0xca, 0x28)},
};

constexpr Like kLikes[] = {
    {"13800000001", "2010020140312004", 1},
    {"13800000001", "2010020140101001", 2},
    {"13800000002", "2010020140312002", 1},
};

bool seedPackages(Database& db) {
    for (const Package& p : kPackages) {
        if (!db.exec(QStringLiteral("INSERT INTO personal_info (number, packagename, curflow)"
                                    " VALUES (?, ?, ?) ON CONFLICT(number) DO UPDATE SET"
                                    " packagename = excluded.packagename,"
                                    " curflow = excluded.curflow"),
                     {QString::fromUtf8(p.number), QString::fromUtf8(p.packagename),
                      QString::fromUtf8(p.curflow)}))
            return false;
    }
    return true;
}

bool seedOffers(Database& db) {
    for (const Offer& o : kOffers) {
        // Each offer's icon is a picture the sandbox serves; the reply names it by address.
        const QString icon = QStringLiteral("offer_%1.png").arg(QString::fromLatin1(o.marketid));
        if (!db.exec(QStringLiteral("INSERT INTO home_pictures (name, png) VALUES (?, ?)"
                                    " ON CONFLICT(name) DO UPDATE SET png = excluded.png"),
                     {icon, PictureStore::drawPng(112, 112, QColor(o.from), QColor(o.to))}))
            return false;
        if (!db.exec(
                QStringLiteral(
                    "INSERT INTO offers (marketid, categoryid, marketname, markettype, useflag,"
                    " fee, brand, shortdesc, subscribers, configflag, busiicon, hot, sort)"
                    " VALUES (?, '1', ?, '1', '1', ?, '', ?, ?, ?, ?, ?, ?)"
                    " ON CONFLICT(marketid) DO UPDATE SET marketname = excluded.marketname,"
                    " fee = excluded.fee, shortdesc = excluded.shortdesc,"
                    " subscribers = excluded.subscribers, configflag = excluded.configflag,"
                    " busiicon = excluded.busiicon, hot = excluded.hot, sort = excluded.sort"),
                {QString::fromUtf8(o.marketid), QString::fromUtf8(o.marketname),
                 QString::fromUtf8(o.fee), QString::fromUtf8(o.shortdesc),
                 QString::fromUtf8(o.subscribers), o.configflag, icon, o.hot, o.sort}))
            return false;
    }
    for (const Like& l : kLikes) {
        if (!db.exec(QStringLiteral("INSERT INTO offer_likes (number, marketid, sort)"
                                    " VALUES (?, ?, ?) ON CONFLICT(number, marketid)"
                                    " DO UPDATE SET sort = excluded.sort"),
                     {QString::fromUtf8(l.number), QString::fromUtf8(l.marketid), l.sort}))
            return false;
    }
    return true;
}

} // namespace

bool SelfServiceData::seed(Database& db) {
    return db.transaction([&db] {
        return seedPackages(db) && seedOffers(db) &&
               db.exec(QStringLiteral("INSERT OR IGNORE INTO login_sms (number, notify)"
                                      " VALUES ('13800000001', '1')"));
    });
}

} // namespace sandbox
