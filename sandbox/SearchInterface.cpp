#include "sandbox/SearchInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/PictureStore.h"
#include "sandbox/Reply.h"

#include <QJsonArray>

namespace sandbox {

namespace {

const QString kColumns = QStringLiteral(
    "o.marketid, o.categoryid, o.marketname, o.markettype, o.useflag, o.fee, o.brand,"
    " o.shortdesc, o.subscribers, o.configflag, o.busiicon, o.sort");

QJsonArray offers(const Backend& backend, Database& db, const QString& sql,
                  const QVariantList& binds) {
    QJsonArray list;
    for (const QVariantMap& row : db.query(sql, binds)) {
        QJsonObject offer = QJsonObject::fromVariantMap(row);
        // The icon is named in the database and fetched from this server's pictures.
        const QString icon = row.value("busiicon").toString();
        offer.insert("busiicon", icon.isEmpty() ? QString() : PictureStore::urlFor(backend, icon));
        // The operator sends the flag as a number and the sort order as text.
        offer.insert("configflag", row.value("configflag").toLongLong());
        offer.insert("sort", row.value("sort").toString());
        list.append(offer);
    }
    return list;
}

} // namespace

void SearchInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("Search"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject SearchInterface::handle(const InterfaceCall& call) {
    Database& db = call.backend.database();
    const QJsonArray liked =
        offers(call.backend, db,
               QStringLiteral("SELECT ") + kColumns +
                   QStringLiteral(" FROM offer_likes l JOIN offers o ON o.marketid = l.marketid"
                                  " WHERE l.number = ? ORDER BY l.sort, o.marketid"),
               {call.number});
    const QJsonArray hot = offers(call.backend, db,
                                  QStringLiteral("SELECT ") + kColumns +
                                      QStringLiteral(" FROM offers o WHERE o.hot = 1"
                                                     " ORDER BY o.sort, o.marketid"),
                                  {});
    return Reply::ok({{"likelist", liked}, {"hotlist", hot}});
}

} // namespace sandbox
