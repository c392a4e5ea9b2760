#include "sandbox/Database.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sandbox {

namespace {

bool bindValue(sqlite3_stmt* stmt, int index, const QVariant& v) {
    if (!v.isValid() || v.isNull()) return sqlite3_bind_null(stmt, index) == SQLITE_OK;
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return sqlite3_bind_int64(stmt, index, v.toLongLong()) == SQLITE_OK;
    case QMetaType::Double:
        return sqlite3_bind_double(stmt, index, v.toDouble()) == SQLITE_OK;
    case QMetaType::QByteArray: {
        const QByteArray bytes = v.toByteArray();
        return sqlite3_bind_blob64(stmt, index, bytes.constData(), sqlite3_uint64(bytes.size()),
                                   SQLITE_TRANSIENT) == SQLITE_OK;
    }
    default: {
        const QByteArray text = v.toString().toUtf8();
        return sqlite3_bind_text64(stmt, index, text.constData(), sqlite3_uint64(text.size()),
                                   SQLITE_TRANSIENT, SQLITE_UTF8) == SQLITE_OK;
    }
    }
}

QVariant columnValue(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, column)),
                                   sqlite3_column_bytes(stmt, column)));
    case SQLITE_TEXT:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                              sqlite3_column_bytes(stmt, column)));
    default:
        return QVariant();
    }
}

} // namespace

Database::~Database() {
    close();
}

bool Database::open(const QString& path) {
    close();
    if (!prepareFile(path)) return false;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        m_lastError =
            m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory");
        close();
        return false;
    }
    if (sqlite3_db_readonly(m_db, "main") == 1) {
        // SQLite falls back to reading a file it may not write; every change would then fail.
        m_lastError = QStringLiteral("the database file is read-only");
        close();
        return false;
    }
    // Another process (a second sandbox on the same file) may hold the lock for a moment.
    sqlite3_busy_timeout(m_db, 2000);
    // A write-ahead log without a sync per commit: changes survive the sandbox being killed
    // (only a power cut can lose the last ones), and a request costs no disk flush.
    return exec(QStringLiteral("PRAGMA foreign_keys = ON")) &&
           query(QStringLiteral("PRAGMA journal_mode = WAL")).size() == 1 &&
           exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
}

bool Database::prepareFile(const QString& path) {
    if (path.isEmpty() || path == QLatin1String(":memory:")) return true;
    // Passwords and sessions live here: owner-only. SQLite gives the -wal and -shm files the
    // mode of the database file, so creating it 0600 covers them; files left by an older
    // sandbox are tightened.
    const QByteArray file = QFile::encodeName(path);
    const int fd = ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EACCES || errno == EROFS || errno == EPERM) {
            // Tell a read-only file from a folder we may not create in.
            m_lastError = QFileInfo::exists(path) ? QStringLiteral("the database file is read-only")
                                                  : QString::fromLocal8Bit(std::strerror(errno));
        } else {
            m_lastError = QString::fromLocal8Bit(std::strerror(errno));
        }
        return false;
    }
    ::fchmod(fd, 0600);
    ::close(fd);
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        ::chmod((file + suffix).constData(), 0600);
    return true;
}

void Database::close() {
    if (m_db) {
        // The write-ahead log back into the database file, so a clean exit leaves it whole.
        sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool Database::exec(const QString& sql, const QVariantList& binds) {
    return run(sql, binds, nullptr);
}

QList<QVariantMap> Database::query(const QString& sql, const QVariantList& binds) {
    QList<QVariantMap> rows;
    const bool ok = run(sql, binds, [&rows](sqlite3_stmt* stmt) {
        QVariantMap row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c)
            row.insert(QString::fromUtf8(sqlite3_column_name(stmt, c)), columnValue(stmt, c));
        rows.append(row);
    });
    if (!ok) rows.clear();
    return rows;
}

QVariant Database::scalar(const QString& sql, const QVariantList& binds) {
    QVariant first;
    bool seen = false;
    const bool ok = run(sql, binds, [&](sqlite3_stmt* stmt) {
        if (!seen && sqlite3_column_count(stmt) > 0) first = columnValue(stmt, 0);
        seen = true;
    });
    return ok ? first : QVariant();
}

int Database::changes() const {
    return m_db ? sqlite3_changes(m_db) : 0;
}

bool Database::transaction(const std::function<bool()>& fn) {
    if (!exec(QStringLiteral("BEGIN"))) return false;
    if (fn() && exec(QStringLiteral("COMMIT"))) return true;
    const QString error = m_lastError;
    exec(QStringLiteral("ROLLBACK"));
    m_lastError = error;
    return false;
}

bool Database::run(const QString& sql, const QVariantList& binds, const RowFn& onRow) {
    m_lastError.clear();
    if (!m_db) {
        m_lastError = QStringLiteral("database not open");
        return false;
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
        return false;
    }
    bool ok = sqlite3_bind_parameter_count(stmt) == binds.size();
    if (!ok)
        m_lastError = QStringLiteral("expected %1 values, got %2")
                          .arg(sqlite3_bind_parameter_count(stmt))
                          .arg(binds.size());
    for (int i = 0; ok && i < binds.size(); ++i)
        ok = bindValue(stmt, i + 1, binds[i]);
    while (ok) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE) break;
        if (rc != SQLITE_ROW)
            ok = false;
        else if (onRow)
            onRow(stmt);
    }
    if (!ok && m_lastError.isEmpty()) m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
    sqlite3_finalize(stmt);
    return ok;
}

} // namespace sandbox
