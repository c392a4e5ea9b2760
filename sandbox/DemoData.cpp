#include "sandbox/DemoData.h"

#include "sandbox/BillingData.h"
#include "sandbox/Database.h"
#include "sandbox/FlowData.h"
#include "sandbox/HomeData.h"
#include "sandbox/SelfServiceData.h"

namespace sandbox {

const QList<Subscriber>& DemoData::subscribers() {
    // Star levels cover the three card kinds, a partly filled row and the "no stars" value.
    static const QList<Subscriber> list = {
        {QStringLiteral("13800000001"), QStringLiteral("123456"), QStringLiteral("张伟"),
         QStringLiteral("2")},
        {QStringLiteral("13800000002"), QStringLiteral("234567"), QStringLiteral("王芳"),
         QStringLiteral("12")},
        {QStringLiteral("13800000003"), QStringLiteral("345678"), QStringLiteral("李娜"),
         QStringLiteral("3")},
        {QStringLiteral("13800000004"), QStringLiteral("456789"), QStringLiteral("刘洋"),
         QStringLiteral("-10")},
    };
    return list;
}

bool DemoData::seed(Database& db) {
    const bool subscribersSeeded = db.transaction([&db] {
        for (const Subscriber& s : subscribers()) {
            const bool ok = db.exec(
                QStringLiteral("INSERT INTO subscribers (number, password, name, star_level)"
                               " VALUES (?, ?, ?, ?) ON CONFLICT(number) DO UPDATE SET"
                               " password = excluded.password, name = excluded.name,"
                               " star_level = excluded.star_level"),
                {s.number, s.password, s.name, s.starLevel});
            if (!ok) return false;
        }
        return true;
    });
    return subscribersSeeded && HomeData::seed(db) && SelfServiceData::seed(db) &&
           db.transaction([&db] { return FlowData::seed(db); }) && BillingData::seed(db);
}

} // namespace sandbox
