#include "app/core/LocalStore.h"

#include <QDebug>
#include <QFile>
#include <sqlite3.h>

#include "platform/foundation/Directories.h"
#include "platform/foundation/RegularFile.h"

LocalStore::LocalStore(QString path) : m_path(std::move(path)) {
    if (m_path.isEmpty()) m_path = applicationDocumentsDirectory() + "/tavrix.sqlite";
}

LocalStore::~LocalStore() {
    if (m_db) sqlite3_close(m_db);
}

QString LocalStore::applicationDocumentsDirectory() {
    return ns::Directories::documents();
}

bool LocalStore::fail(const QString& underlying) {
    m_error = {kErrorDomain, kErrorCode, "Failed to initialize the application's saved data",
               "There was an error creating or loading the application's saved data.", underlying};
    qWarning().noquote() << "local store" << m_path << ":" << m_error.failureReason << underlying;
    if (m_db) sqlite3_close(m_db);
    m_db = nullptr;
    return false;
}

bool LocalStore::persistentStoreCoordinator() {
    if (m_tried) return m_db != nullptr;
    m_tried = true;
    // The store is one of the client's own files: whatever else is in its place goes, so that
    // SQLite makes a new store there.
    if (!ns::clearOwnFilePath(m_path)) return fail(QStringLiteral("cannot replace what is there"));
    const QByteArray file = QFile::encodeName(m_path);
    if (sqlite3_open_v2(file.constData(), &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW,
                        nullptr) != SQLITE_OK)
        return fail(m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : "out of memory");
    // Opening is lazy: touching the schema is what finds a file that is not a store.
    const QByteArray schema =
        QByteArray("CREATE TABLE IF NOT EXISTS metadata (key TEXT PRIMARY KEY, value TEXT);"
                   "INSERT OR IGNORE INTO metadata VALUES ('model', '") +
        kModelName + "');";
    char* message = nullptr;
    if (sqlite3_exec(m_db, schema.constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString why = QString::fromUtf8(message ? message : sqlite3_errmsg(m_db));
        sqlite3_free(message);
        return fail(why);
    }
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

bool LocalStore::saveContext() {
    // Nothing in the application changes the content, so there is rarely anything to write.
    return !hasChanges() || persistentStoreCoordinator();
}
