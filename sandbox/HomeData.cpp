#include "sandbox/HomeData.h"

#include "sandbox/Database.h"
#include "sandbox/DemoData.h"
#include "sandbox/PictureStore.h"

#include <QColor>

namespace sandbox {

namespace {

struct Account {
    qint64 balanceFen;
    qint64 points;
};

// Credit left, one row per demo subscriber in DemoData order: a balance with cents, a
// whole-yuan balance and a small one. The month's charges come with the bills (BillingData).
const Account kAccounts[] = {
    {5830, 1260},
    {12000, 430},
    {75, 9020},
    {30050, 0},
};

struct Advert {
    int position;
    int order;
    const char* name;
    const char* picture;
    const char* data;
    const char* forNative;
    const char* storyboard;
    const char* viewName;
};

// Position 1 is the home page's carousel; position 2 belongs to no screen of this client.
const Advert kAdverts[] = {
    {1, 1, "流量加油包", "ad_flow.png", "ulvek/ad/flow.html", "0", "", ""},
    {1, 2, "话费充值优惠", "ad_recharge.png", "ulvek/ad/recharge.html", "0", "", ""},
    {1, 3, "我的流量", "ad_native.png", "", "1", "Flow", "FlowMainController"},
    {2, 1, "积分商城", "ad_points.png", "ulvek/ad/points.html", "0", "", ""},
};

struct Tile {
    int position;
    const char* title;
    const char* desc;
    const char* picture;
    int type;
    const char* storyboard;
    const char* viewName;
    const char* forward;
};

const Tile kTiles[] = {
    {1, "4G免费换卡", "老用户免费换4G卡，网速快人一步", "tile_card.png", 0, "", "",
     "ulvek/tile/card.html"},
    {2, "家庭网", "全家共享通话时长", "tile_family.png", 1, "Main", "FNRootViewController", ""},
    {3, "手机阅读", "海量好书免费读", "tile_reading.png", 0, "", "", "ulvek/tile/reading.html"},
};

struct Picture {
    const char* name;
    int width;
    int height;
    QRgb from;
    QRgb to;
};

const Picture kPictures[] = {
    {"ad_flow.png", 640, 272, qRgb(0x1e, 0x88, 0xe5), qRgb(0x00, 0xbc, 0xd4)},
    {"ad_recharge.png", 640, 272, qRgb(0xff, 0x70, 0x43), qRgb(0xff, 0xca, 0x28)},
    {"ad_native.png", 640, 272, qRgb(0x43, 0xa0, 0x47), qRgb(0x9c, 0xcc, 0x65)},
    {"ad_points.png", 640, 272, qRgb(0x8e, 0x24, 0xaa), qRgb(0xec, 0x40, 0x7a)},
    {"tile_card.png", 240, 180, qRgb(0x39, 0x49, 0xab), qRgb(0x5c, 0x6b, 0xc0)},
    {"tile_family.png", 176, 112, qRgb(0xe5, 0x39, 0x35), qRgb(0xef, 0x9a, 0x9a)},
    {"tile_reading.png", 176, 112, qRgb(0x00, 0x89, 0x7b), qRgb(0x80, 0xcb, 0xc4)},
};

} // namespace

bool HomeData::seed(Database& db) {
    return db.transaction([&db] {
        const auto& subscribers = DemoData::subscribers();
        for (qsizetype i = 0; i < subscribers.size(); ++i) {
            const Account& a = kAccounts[size_t(i) % std::size(kAccounts)];
            if (!db.exec(
                    QStringLiteral("INSERT INTO accounts (number, balance_fen, points)"
                                   " VALUES (?, ?, ?) ON CONFLICT(number) DO UPDATE SET"
                                   " balance_fen = excluded.balance_fen, points = excluded.points"),
                    {subscribers[i].number, a.balanceFen, a.points}))
                return false;
        }
        for (const Advert& ad : kAdverts) {
            if (!db.exec(QStringLiteral(
                             "INSERT INTO home_adverts (position, ord, name, picture, data,"
                             " for_native, storyboard, view_name) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"
                             " ON CONFLICT(position, ord) DO UPDATE SET name = excluded.name,"
                             " picture = excluded.picture, data = excluded.data,"
                             " for_native = excluded.for_native, storyboard = excluded.storyboard,"
                             " view_name = excluded.view_name"),
                         {ad.position, ad.order, QString::fromUtf8(ad.name), ad.picture, ad.data,
                          ad.forNative, ad.storyboard, ad.viewName}))
                return false;
        }
        for (const Tile& t : kTiles) {
            if (!db.exec(QStringLiteral(
                             "INSERT INTO home_tiles (position, title, main_desc, picture, type,"
                             " storyboardname, viewname, forward) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"
                             " ON CONFLICT(position) DO UPDATE SET title = excluded.title,"
                             " main_desc = excluded.main_desc, picture = excluded.picture,"
                             " type = excluded.type, storyboardname = excluded.storyboardname,"
                             " viewname = excluded.viewname, forward = excluded.forward"),
                         {t.position, QString::fromUtf8(t.title), QString::fromUtf8(t.desc),
                          t.picture, t.type, t.storyboard, t.viewName, t.forward}))
                return false;
        }
        for (const Picture& p : kPictures) {
            const QByteArray png =
                PictureStore::drawPng(p.width, p.height, QColor(p.from), QColor(p.to));
            if (png.isEmpty()) return false;
            if (!db.exec(QStringLiteral("INSERT INTO home_pictures (name, png) VALUES (?, ?)"
                                        " ON CONFLICT(name) DO UPDATE SET png = excluded.png"),
                         {p.name, png}))
                return false;
        }
        return true;
    });
}

} // namespace sandbox
