#include "sandbox/VersionCheckInterface.h"

#include "sandbox/Backend.h"
#include "sandbox/Reply.h"

namespace sandbox {

namespace {
constexpr qint64 kLatest = -1;
const QString kDefaultType = QStringLiteral("2");
} // namespace

void VersionCheckInterface::install(InterfaceRegistry& registry) {
    registry.add(QStringLiteral("VersionCheck"), InterfaceRegistry::Access::Session, &handle);
}

QJsonObject VersionCheckInterface::handle(const InterfaceCall& call) {
    bool numeric = false;
    const qint64 running = call.fields.value("appversion").toLongLong(&numeric);
    if (!numeric) return Reply::badParameters();
    const QVariantMap release =
        call.backend.database()
            .query(QStringLiteral("SELECT version, content, url FROM app_release WHERE type = ?"),
                   {call.fields.value("type")})
            .value(0);
    if (release.isEmpty() || release.value("version").toLongLong() <= running)
        return Reply::ok({{"version", kLatest}, {"content", ""}, {"url", ""}});
    return Reply::ok({{"version", release.value("version").toLongLong()},
                      {"content", release.value("content").toString()},
                      {"url", release.value("url").toString()}});
}

bool VersionCheckInterface::setRelease(Backend& backend, const QString& type, qint64 version,
                                       const QString& content, const QString& url) {
    Database& db = backend.database();
    if (version == kLatest)
        return db.exec(QStringLiteral("DELETE FROM app_release WHERE type = ?"), {type});
    return db.exec(QStringLiteral("INSERT INTO app_release (type, version, content, url)"
                                  " VALUES (?, ?, ?, ?) ON CONFLICT(type) DO UPDATE SET"
                                  " version = excluded.version, content = excluded.content,"
                                  " url = excluded.url"),
                   {type, version, content, url});
}

HttpAnswer VersionCheckInterface::control(Backend& backend, bool isPost, const FormFields& fields) {
    if (!isPost)
        return HttpAnswer::json(Reply::failure(Reply::kFailed, QStringLiteral("use POST")), 405);
    const QString type = fields.value("type").isEmpty() ? kDefaultType : fields.value("type");
    const QString versionText = fields.value("version");
    bool numeric = true;
    const qint64 version = versionText.isEmpty() ? kLatest : versionText.toLongLong(&numeric);
    if (!numeric)
        return HttpAnswer::json(
            Reply::failure(Reply::kFailed, QStringLiteral("bad version \"%1\"").arg(versionText)),
            400);
    if (!setRelease(backend, type, version, fields.value("content"), fields.value("url")))
        return HttpAnswer::json(Reply::failure(Reply::kFailed, backend.database().lastError()),
                                500);
    return HttpAnswer::json(Reply::ok());
}

} // namespace sandbox
