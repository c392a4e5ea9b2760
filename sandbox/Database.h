#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <functional>

struct sqlite3;
struct sqlite3_stmt;

namespace sandbox {

// A small owner of one SQLite connection. Values bind positionally ("?"): null, integers,
// doubles, byte arrays as blobs, everything else as text.
class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // A file path, or ":memory:". Foreign keys are enforced. The file (and its -wal and -shm)
    // is owner-only; a file this process may not write is refused.
    bool open(const QString& path);
    void close();
    bool isOpen() const { return m_db != nullptr; }

    // One statement; false on any error (see lastError()).
    bool exec(const QString& sql, const QVariantList& binds = {});
    // The rows of one statement, each column by name; empty on error.
    QList<QVariantMap> query(const QString& sql, const QVariantList& binds = {});
    // The first column of the first row, or an invalid value.
    QVariant scalar(const QString& sql, const QVariantList& binds = {});
    // Rows changed by the last exec().
    int changes() const;

    // Runs fn inside a transaction; commits when it returns true, else rolls back.
    bool transaction(const std::function<bool()>& fn);

    QString lastError() const { return m_lastError; }

private:
    bool prepareFile(const QString& path);
    using RowFn = std::function<void(sqlite3_stmt*)>;
    bool run(const QString& sql, const QVariantList& binds, const RowFn& onRow);

    sqlite3* m_db = nullptr;
    QString m_lastError;
};

} // namespace sandbox
