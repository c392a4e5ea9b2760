#include "sandbox/SelfServiceData.h"

#include "sandbox/Database.h"

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
     "已有32万人办理", 1, 1, 1},
    {"8010020140611001", "4G飞享套餐", "语音、流量、短信一体的4G套餐，多档可选。", "58",
     "已有18万人办理", 1, 1, 2},
    {"2010020140312002", "彩铃业务", "用您喜欢的歌曲代替单调的回铃音。", "5", "已有9万人办理", 1, 1,
     3},
    {"2010020140522001", "家庭网", "家人之间互打免费，最多可加入8名成员。", "10", "已有6万人办理",
     2, 1, 4},
    {"2010020140312004", "天气预报", "每天早上发送本地天气，出行早知道。", "3", "已有4万人办理", 1,
     0, 5},
    {"2010020140101001", "手机阅读", "海量图书随身看，包月畅读精品书库。", "5", "已有7万人办理", 1,
     0, 6},
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
        if (!db.exec(
                QStringLiteral(
                    "INSERT INTO offers (marketid, categoryid, marketname, markettype, useflag,"
                    " fee, brand, shortdesc, subscribers, configflag, busiicon, hot, sort)"
                    " VALUES (?, '1', ?, '1', '1', ?, '', ?, ?, ?, '', ?, ?)"
                    " ON CONFLICT(marketid) DO UPDATE SET marketname = excluded.marketname,"
                    " fee = excluded.fee, shortdesc = excluded.shortdesc,"
                    " subscribers = excluded.subscribers, configflag = excluded.configflag,"
                    " hot = excluded.hot, sort = excluded.sort"),
                {QString::fromUtf8(o.marketid), QString::fromUtf8(o.marketname),
                 QString::fromUtf8(o.fee), QString::fromUtf8(o.shortdesc),
                 QString::fromUtf8(o.subscribers), o.configflag, o.hot, o.sort}))
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
