#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <optional>

#include "app/download/PCDownloadingQueue.h"
#include "app/download/PCFile.h"
#include "app/download/ZipFileDownloadModel.h"
#include "platform/foundation/Directories.h"
#include "sandbox/ArchiveFiles.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/Wait.h"
#include "tests/support/ZipWriter.h"

namespace {

TEST(ZipName, AZipIsNamedSoAfterItsLastDot) {
    const struct {
        const char* name;
        bool zip;
    } cases[] = {{"a.zip", true},      {"b.ZIP", true}, {"c.tar.Zipx", true}, {".zip", true},
                 {"d.zip.txt", false}, {"zip", false},  {"e.zi", false},      {"", false},
                 {"f.", false},        {"g.7z", false}};
    for (const auto& c : cases)
        EXPECT_EQ(ZipFileDownloadModel::isZip(c.name), c.zip) << c.name;
}

bool onMainThread() {
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

struct Heard : QObject, PCFileDownLoadModelDelegate {
    void modelUnZipSuccsess(PCFileDownLoadModel*, bool ok, const QString& error) override {
        result = {ok, error};
        mainThread = onMainThread();
    }
    std::optional<std::pair<bool, QString>> result;
    bool mainThread = false;
};

// Every file, folder and link under dir, but those below `except`.
QStringList treeOf(const QString& dir, const QString& except = {}) {
    QStringList found;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (except.isEmpty() || !(path + '/').startsWith(except + '/'))
            found << QDir(dir).relativeFilePath(path);
    }
    found.sort();
    return found;
}

class ZipDownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousHome = ns::Directories::home();
        ns::Directories::setHomeOverride(home.path());
        PCFile::fileTempDir(); // made on first use
    }
    void TearDown() override { ns::Directories::setHomeOverride(previousHome); }

    QTemporaryDir home;
    QString previousHome;
    SandboxFixture sandbox;
};

TEST_F(ZipDownloadTest, OnlyAWholeHarmlessArchiveReplacesItsFolderAndNothingLandsElsewhere) {
    const QString target = home.path() + "/Documents/bundles";
    const QString blocked = home.path() + "/blocker/sub"; // below a plain file
    ASSERT_TRUE(PCFile::fileWriteAtPath(home.path() + "/blocker", "x"));
    const QString fails = "文件解压失败";
    const struct {
        const char* archive;
        QString path;
        QString error; // "" for success
    } cases[] = {
        {"good.zip", target, ""},
        {"dotdot.zip", target, fails},
        {"absolute.zip", target, fails},
        {"symlink.zip", target, fails},
        {"bomb.zip", target, fails},
        {"swarm.zip", target, fails},
        {"truncated.zip", target, fails},
        {"fake.zip", target, fails},
        {"legacy.zip", target, fails}, // a name that is not UTF-8
        {"deep.zip", target, fails},   // 2000 nested folders
        {"notes.txt", blocked, "创建目录失败\n下载文件非zip格式"},
        {"good.zip", "", "保存目录为空"},
        {"good.zip?name=.zip", target, "文件保存失败"}, // no folder name: never the whole target
    };
    const QString escape = sandbox::ArchiveFiles::escapeName();
    for (const auto& c : cases) {
        const QString folder = QString(c.archive).section('.', 0, 0);
        QDir().mkpath(target + "/" + folder);
        ASSERT_TRUE(PCFile::fileWriteAtPath(target + "/" + folder + "/old.txt", "before"));
        const QStringList before = treeOf(home.path(), target);

        const QString url =
            QString(sandbox.baseAddress()).replace("/pelvo/", "/archives/") + c.archive;
        auto model = ZipFileDownloadModel::create(url, c.path);
        Heard heard;
        model->addDelegate(&heard);
        model->download();
        ASSERT_TRUE(waitUntil([&] { return heard.result.has_value(); }, 20000)) << c.archive;
        EXPECT_EQ(heard.result->first, c.error.isEmpty()) << c.archive;
        EXPECT_EQ(heard.result->second, c.error) << c.archive;
        EXPECT_TRUE(heard.mainThread) << c.archive;
        EXPECT_FALSE(PCDownloadingQueue::contains(model.get())) << c.archive;

        EXPECT_EQ(treeOf(home.path(), target), before) << c.archive;
        EXPECT_FALSE(QFile::exists(QDir::tempPath() + "/" + escape)) << c.archive;
        EXPECT_FALSE(QFile::exists(QFileInfo(home.path()).path() + "/" + escape)) << c.archive;
        const QStringList expected = c.error.isEmpty() ? QStringList{"data", "data/numbers.csv",
                                                                     "latest.txt", "账单说明.txt"}
                                                       : QStringList{"old.txt"};
        EXPECT_EQ(treeOf(target + "/" + folder), expected) << c.archive;
        if (QFile link(target + "/" + folder + "/latest.txt"); c.error.isEmpty()) {
            ASSERT_TRUE(link.open(QIODevice::ReadOnly));
            EXPECT_EQ(link.readAll(), "本月账单说明\n");
        }
        QDir(target + "/" + folder).removeRecursively();

        // Unpacked straight into a folder that has content: all of it or nothing.
        if (c.error != fails && !c.error.isEmpty()) continue; // the archive is not the reason
        const QString file = home.path() + "/direct.zip", into = home.path() + "/direct";
        ASSERT_TRUE(PCFile::fileWriteAtPath(file, sandbox::ArchiveFiles::file(c.archive)));
        QDir().mkpath(into);
        ASSERT_TRUE(PCFile::fileWriteAtPath(into + "/keep.txt", "kept"));
        EXPECT_EQ(ZipFileDownloadModel::unZipFile(file, into), c.error.isEmpty()) << c.archive;
        // keep.txt, and when whole the folder with its four entries.
        EXPECT_EQ(treeOf(into).size(), c.error.isEmpty() ? 6 : 1) << c.archive;
        QDir(into).removeRecursively();
    }
}

// What a hostile server sends as an archive: it goes to a part file as it arrives (never held
// in memory), a transfer past the ceiling stops there, and no part file stays behind.
TEST_F(ZipDownloadTest, AnArchiveIsStreamedAndStoppedAtItsCeiling) {
    struct Watch : QObject, PCFileDownLoadModelDelegate {
        void modelReceiveDataWithLength(PCFileDownLoadModel* model, qint64, qint64) override {
            held = std::max(held, model->downLoadData().size());
        }
        void modelDownloadSuccsess(PCFileDownLoadModel*, bool ok, const QString&) override {
            if (!ok) end = "download failed";
        }
        void modelUnZipSuccsess(PCFileDownLoadModel*, bool, const QString& error) override {
            end = error;
        }
        qsizetype held = 0;
        std::optional<QString> end;
    };
    const QString target = home.path() + "/Documents/bundles";
    const struct {
        const char* what;
        const char* path;
        QString end;
    } cases[] = {
        {"1 GB announced", "generated/bytes-1073741824.zip", "download failed"},
        {"endless, no length", "generated/bytes-endless.zip", "download failed"},
        {"announces 10 GB, sends 1 KB", "generated/bytes-1000.zip?declare=10000000000",
         "download failed"},
        {"announces 1 KB, sends without end", "generated/bytes-endless.zip?declare=1000",
         "文件解压失败"},
        {"a good archive", "good.zip", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto model = ZipFileDownloadModel::create(
            QString(sandbox.baseAddress()).replace("/pelvo/", "/archives/") + c.path, target);
        Watch watch;
        model->addDelegate(&watch);
        model->download();
        ASSERT_TRUE(waitUntil([&] { return watch.end.has_value(); }, 30000));
        EXPECT_EQ(*watch.end, c.end);
        EXPECT_EQ(watch.held, 0);
        EXPECT_LE(model->currentLength(), ZipFileDownloadModel::kMaxArchiveBytes);
        EXPECT_EQ(treeOf(PCFile::fileTempDir()), QStringList{});
        EXPECT_EQ(treeOf(target).size(), c.end.isEmpty() ? 5 : 0);
        QDir(target).removeRecursively();
    }
}

// Told to stop at any of its checks (each header read first, then each entry and block
// written), an unpack ends at once and leaves the folder as it was.
TEST_F(ZipDownloadTest, AnUnpackToldToStopEndsThereAndLeavesTheFolderAsItWas) {
    const QString file = home.path() + "/good.zip", into = home.path() + "/into";
    ASSERT_TRUE(PCFile::fileWriteAtPath(file, sandbox::ArchiveFiles::file("good.zip")));
    int checks = 0;
    ASSERT_TRUE(ZipFileDownloadModel::unZipFile(file, into, [&] { return !++checks; }));
    ASSERT_GE(checks, 10); // 4 headers, 4 entries, the blocks of 2 files
    for (int stopAt = 1; stopAt <= checks; ++stopAt) {
        QDir(into).removeRecursively();
        QDir().mkpath(into);
        ASSERT_TRUE(PCFile::fileWriteAtPath(into + "/keep.txt", "kept"));
        int asked = 0;
        EXPECT_FALSE(
            ZipFileDownloadModel::unZipFile(file, into, [&] { return ++asked == stopAt; }));
        EXPECT_EQ(asked, stopAt);
        EXPECT_EQ(treeOf(into), QStringList{"keep.txt"}) << stopAt;
    }
}

// While a large archive unpacks on its own thread a second one arrives: it waits its turn (into
// the same folder too). A model whose caller lets go of it lives until it has told its result;
// one cancelled meanwhile stops its unpack, leaves its folder as it was and hears nothing.
// Results come on the main thread.
TEST_F(ZipDownloadTest, ArchivesUnpackInTurnOffTheMainThreadAndOnlyACancelStopsOne) {
    ScriptedServer server;
    const QByteArray archive = testsupport::largestZip("good", 1024, qint64(16) << 20);
    auto large = ScriptedServer::json(archive);
    large.contentType = "application/zip";
    server.setFallback(large);
    const QString target = home.path() + "/Documents/bundles";
    const QString elsewhere = home.path() + "/elsewhere";
    const QStringList good{"data", "data/numbers.csv", "latest.txt", "账单说明.txt"};
    ASSERT_TRUE(PCFile::fileWriteAtPath(home.path() + "/large.zip", archive));
    ASSERT_TRUE(
        ZipFileDownloadModel::unZipFile(home.path() + "/large.zip", home.path() + "/large"));
    const QStringList largeTree = treeOf(home.path() + "/large/good");
    enum First { Kept, LetGoAtOnce, LetGoWhileUnpacking, Cancelled };
    const struct {
        First first;
        QString secondInto;
        bool firstHeard;
        QStringList left; // in target/good
    } cases[] = {{Kept, target, true, good},
                 {LetGoAtOnce, elsewhere, true, largeTree},
                 {LetGoWhileUnpacking, elsewhere, true, largeTree},
                 {Cancelled, elsewhere, false, {"old.txt"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        ASSERT_TRUE(QDir().mkpath(target + "/good"));
        ASSERT_TRUE(PCFile::fileWriteAtPath(target + "/good/old.txt", "before"));
        Heard first, second;
        auto model = ZipFileDownloadModel::create(server.url("/large/good.zip").toString(), target);
        model->addDelegate(&first);
        model->download();
        if (c.first == LetGoAtOnce) model.reset();
        ASSERT_TRUE(waitUntil([] { // its entries being written
            return QDirIterator(PCFile::fileTempDir(), {".unzip-*"}, QDir::Dirs | QDir::Hidden,
                                QDirIterator::Subdirectories)
                .hasNext();
        }));
        if (c.first == Cancelled) model->cancle();
        if (c.first != Kept) model.reset();
        auto next = ZipFileDownloadModel::create(
            QString(sandbox.baseAddress()).replace("/pelvo/", "/archives/") + "good.zip",
            c.secondInto);
        next->addDelegate(&second);
        next->download();
        ASSERT_TRUE(waitUntil([&] { return second.result.has_value(); }, 20000));
        EXPECT_EQ(first.result.has_value(), c.firstHeard); // heard before the second, or never
        for (const Heard* h : {&first, &second})
            EXPECT_TRUE(!h->result || (h->result->first && h->mainThread));
        EXPECT_EQ(treeOf(target + "/good"), c.left);
        EXPECT_EQ(treeOf(PCFile::fileTempDir()), QStringList{});
        EXPECT_TRUE(PCDownloadingQueue::sharedInstance().arrayOfQueue().isEmpty());
        QDir(target).removeRecursively();
        QDir(elsewhere).removeRecursively();
    }
}

} // namespace
