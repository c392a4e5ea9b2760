#include "sandbox/AdvertInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/PictureStore.h"
#include "sandbox/Reply.h"

#include <QJsonArray>
#include <QMap>

namespace sandbox {

void AdvertInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("Advert"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject AdvertInterface::handle(const InterfaceCall& call) {
    if (call.fields.value(QStringLiteral("channel")) != QLatin1String("2"))
        return Reply::badParameters();
    const QString pages = PictureStore::urlFor(call.backend, {}).section('/', 0, 2) + "/pelvo/";
    QMap<qint64, QJsonArray> groups;
    const auto rows = call.backend.database().query(
        QStringLiteral("SELECT position, name, picture, data, for_native, storyboard, view_name"
                       " FROM home_adverts ORDER BY position, ord"));
    for (const QVariantMap& row : rows) {
        const QString data = row.value("data").toString();
        groups[row.value("position").toLongLong()].append(QJsonObject{
            {"image", PictureStore::urlFor(call.backend, row.value("picture").toString())},
            {"name", row.value("name").toString()},
            {"data", data.isEmpty() ? QString() : pages + data},
            {"forNative", row.value("for_native").toString()},
            {"storyBoardName", row.value("storyboard").toString()},
            {"viewName", row.value("view_name").toString()},
        });
    }
    QJsonArray advert;
    for (auto it = groups.cbegin(); it != groups.cend(); ++it)
        advert.append(QJsonObject{{"position", it.key()}, {"list", it.value()}});
    return Reply::ok({{"advert", advert}});
}

} // namespace sandbox
