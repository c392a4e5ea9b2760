#include "sandbox/Backend.h"
#include "sandbox/DemoData.h"
#include "sandbox/Schema.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sandbox;

namespace {

class DatabaseFile : public ::testing::Test {
protected:
    QString path() const { return dir.filePath("sandbox.sqlite"); }
    QTemporaryDir dir;
};

TEST_F(DatabaseFile, NewFileIsSeededAndChangesLastAcrossRestarts) {
    {
        Backend backend;
        ASSERT_TRUE(backend.open(path(), false, nullptr));
        EXPECT_EQ(backend.subscribers().find("13800000001"), DemoData::primary());
        ASSERT_TRUE(backend.subscribers().setPassword("13800000001", "000000"));
        EXPECT_FALSE(backend.sessions().create("13800000001").isEmpty());
    }
    Backend reopened;
    ASSERT_TRUE(reopened.open(path(), false, nullptr));
    EXPECT_EQ(reopened.subscribers().find("13800000001")->password, "000000");
    EXPECT_EQ(reopened.database().scalar("SELECT COUNT(*) FROM sessions").toInt(), 1);
}

TEST_F(DatabaseFile, ReseedRestoresDemoRecordsAndKeepsOthers) {
    {
        Backend backend;
        ASSERT_TRUE(backend.open(path(), false, nullptr));
        backend.subscribers().setPassword("13800000002", "000000");
        ASSERT_TRUE(backend.database().exec(
            "INSERT INTO subscribers (number, password) VALUES ('13912345678', 'abcdef')"));
        // Sessions point at subscribers: re-seeding must not cut them loose.
        EXPECT_FALSE(backend.sessions().create("13800000002").isEmpty());
    }
    Backend reseeded;
    ASSERT_TRUE(reseeded.open(path(), true, nullptr));
    EXPECT_EQ(reseeded.subscribers().find("13800000002")->password, "234567");
    EXPECT_TRUE(reseeded.subscribers().find("13912345678").has_value());
    EXPECT_EQ(reseeded.database().scalar("SELECT COUNT(*) FROM sessions").toInt(), 1);
}

TEST_F(DatabaseFile, RefusesADatabaseFromANewerSandbox) {
    {
        Database db;
        ASSERT_TRUE(db.open(path()));
        db.exec(QStringLiteral("PRAGMA user_version = %1").arg(Schema::currentVersion() + 1));
    }
    Backend backend;
    QString error;
    EXPECT_FALSE(backend.open(path(), false, &error));
    EXPECT_TRUE(error.contains("newer")) << error.toStdString();
}

TEST_F(DatabaseFile, FilesAreOwnerOnlyNewOrInherited) {
    auto ownerOnly = [](const QString& file) {
        const QFile::Permissions p = QFile::permissions(file);
        return (p & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther |
                     QFile::ExeGroup | QFile::ExeOther)) == 0 &&
               (p & QFile::ReadOwner) && (p & QFile::WriteOwner);
    };
    const QString older = dir.filePath("older.sqlite");
    {
        // A file an older sandbox left world-readable, with its write-ahead log.
        Database db;
        ASSERT_TRUE(db.open(older));
        ASSERT_TRUE(db.exec("CREATE TABLE t (x)"));
    }
    for (const QString& f : {older, older + "-wal", older + "-shm"})
        QFile::setPermissions(f, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                     QFile::ReadOther);
    for (const QString& file : {path(), older}) {
        SCOPED_TRACE(file.toStdString());
        Backend backend;
        ASSERT_TRUE(backend.open(file, false, nullptr));
        EXPECT_FALSE(backend.sessions().create("13800000001").isEmpty());
        for (const char* suffix : {"", "-wal", "-shm"}) {
            ASSERT_TRUE(QFile::exists(file + suffix)) << suffix;
            EXPECT_TRUE(ownerOnly(file + suffix)) << suffix;
        }
    }
}

TEST_F(DatabaseFile, SessionExpiryIsIndexed) {
    Backend backend;
    ASSERT_TRUE(backend.open(path(), false, nullptr));
    const QList<QVariantMap> plan =
        backend.database().query("EXPLAIN QUERY PLAN DELETE FROM sessions WHERE expires_at <= 5");
    ASSERT_FALSE(plan.isEmpty());
    EXPECT_TRUE(plan.first().value("detail").toString().contains("sessions_by_expiry"))
        << plan.first().value("detail").toString().toStdString();
}

} // namespace
