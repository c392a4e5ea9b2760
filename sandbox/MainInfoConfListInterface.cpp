#include "sandbox/MainInfoConfListInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/PictureStore.h"
#include "sandbox/Reply.h"

#include <QJsonArray>

namespace sandbox {

void MainInfoConfListInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("MainInfoConfList"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject MainInfoConfListInterface::handle(const InterfaceCall& call) {
    if (call.fields.value(QStringLiteral("channel")) != QLatin1String("2"))
        return Reply::badParameters();
    const QString pages = PictureStore::urlFor(call.backend, {}).section('/', 0, 2) + "/pelvo/";
    QJsonArray list;
    const auto rows = call.backend.database().query(
        QStringLiteral("SELECT position, title, main_desc, picture, type, storyboardname,"
                       " viewname, forward FROM home_tiles ORDER BY position"));
    for (const QVariantMap& row : rows) {
        const QString forward = row.value("forward").toString();
        list.append(QJsonObject{
            {"position", row.value("position").toLongLong()},
            {"title", row.value("title").toString()},
            {"main_desc", row.value("main_desc").toString()},
            {"photo", PictureStore::urlFor(call.backend, row.value("picture").toString())},
            {"type", row.value("type").toLongLong()},
            {"storyboardname", row.value("storyboardname").toString()},
            {"viewname", row.value("viewname").toString()},
            {"forward", forward.isEmpty() ? QString() : pages + forward},
        });
    }
    return Reply::ok({{"list", list}});
}

} // namespace sandbox
