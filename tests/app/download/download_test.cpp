#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <thread>

#include "app/categories/BFLayoutUtils.h"
#include "app/categories/MD5.h"
#include "app/core/tavrixConfig.h"
#include "app/download/FilesListDownloaderModel.h"
#include "app/download/GroupFileDO.h"
#include "app/download/MultiplexCache.h"
#include "app/download/PCConfigDO.h"
#include "app/download/PCDownloadingQueue.h"
#include "app/download/PCFile.h"
#include "app/download/ZipFileDownloadModel.h"
#include "app/download/netLoading.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/HttpDownload.h"
#include "platform/foundation/NetworkActivity.h"
#include "platform/foundation/RegularFile.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "sandbox/SandboxServer.h"
#include "screens/services/MorePackageTableViewCell.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/Wait.h"
#include "tests/support/Watchdog.h"

namespace {

// A PNG answer of the given size and colour.
ScriptedServer::Action picture(QColor color = Qt::red, int delayMs = 0, QSize size = {8, 8}) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    ScriptedServer::Action a;
    QBuffer buffer(&a.body);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    a.contentType = "image/png";
    a.delayMs = delayMs;
    return a;
}

// Red, green for paths naming it; "slow" paths wait 150 ms.
ScriptedServer::Action byPath(const ScriptedServer::Request& r) {
    return picture(r.path.contains("green") ? Qt::green : Qt::red,
                   r.path.contains("slow") ? 150 : 0);
}

bool queueEmpty() {
    return PCDownloadingQueue::sharedInstance().arrayOfQueue().isEmpty();
}

TEST(Paths, EveryCacheFileLivesUnderTheHome) {
    QTemporaryDir home;
    const QString previous = ns::Directories::home(), h = home.path();
    ns::Directories::setHomeOverride(h);
    EXPECT_EQ(PCFile::fileCacheDir("imageCache"), h + "/Library/Caches/imageCache");
    EXPECT_EQ(PCFile::fileDocDir("a"), h + "/Documents/a");
    EXPECT_EQ(PCFile::fileTempDir("t"), h + "/tmp/t");
    EXPECT_EQ(PCFile::fileHomeDir(), h);
    EXPECT_FALSE(QFileInfo::exists(PCFile::fileCacheDir("imageCache")));
    EXPECT_FALSE(PCFile::fileCreateDir(h + "/no/parent"));
    EXPECT_TRUE(PCFile::fileCreateDir(h + "/one"));
    EXPECT_TRUE(PCFile::fileWriteAtPath(h + "/one/f", "x"));
    EXPECT_EQ(PCFile::fileSubFileNames(h + "/one"), QStringList{"f"});
    EXPECT_TRUE(PCFile::fileDel(h + "/one"));
    EXPECT_FALSE(PCFile::fileExistAtPath(h + "/one"));
    ns::Directories::setHomeOverride(previous);

    EXPECT_EQ(PCConfigDO().toUrlString(), "://:");
    PCConfigDO record;
    record.urlProtocol = "http";
    record.urlIP = "10.0.0.5";
    record.urlPort = "8080";
    record.urlPath = "/pelvo/";
    EXPECT_EQ(record.toUrlString(), "http://10.0.0.5:8080/pelvo/");
}

TEST(FileRecords, ReadFromAdvertsTilesAndGroups) {
    const FileDO ad = FileDO::initWithDict(
        {{"image", "http://h/p/ad%201.png?v=2"}, {"data", "http://h/page"}, {"forNative", 1}});
    EXPECT_EQ(ad.strFileName, "ad%201.png?v=2");
    EXPECT_EQ(ad.forNative, "1");
    EXPECT_EQ(ad.strLinkURL, "http://h/page");
    EXPECT_TRUE(FileDO::initWithDict({{"name", "no picture"}}).strFileName.isNull());
    const FileDO tile = FileDO::initWithDictOfMainConfig({{"photo", "http://h/x/t.png"}});
    EXPECT_EQ(tile.strFileName, "t.png");
    EXPECT_EQ(tile.type, -1);

    FileDO a, b;
    EXPECT_FALSE(a == b); // no names: never equal
    a.strFileName = b.strFileName = "same.png";
    b.strPath = "elsewhere";
    EXPECT_TRUE(a == b);

    const GroupFileDO group = GroupFileDO::initWithDict({{"SUBJECTID", "7"},
                                                         {"PICPATH", "http://h/get?id=pic.png"},
                                                         {"DOCPATH", "doc.pdf"},
                                                         {"PDF_TYPE", "3"},
                                                         {"RESOURCENAME", "R"}});
    EXPECT_EQ(group.imageFileName(), "pic.png");
    EXPECT_EQ(group.docType(), 3);

    // The whole address text names the file: two pictures told apart only by their query or
    // escapes are two files.
    const struct {
        const char* address;
        const char* name;
    } names[] = {
        {"http://h/pic?id=1", "pic?id=1"},
        {"http://h/pic?id=2", "pic?id=2"},
        {"http://h/a%2Fb.png", "a%2Fb.png"},
        {"http://h/%2E%2E", "%2E%2E"},
        {"http://h/get?u=x/y.png", "y.png"},
        {"http://h/pics/", "pics"},
        {"http://h/x/..", ".."},
        {"pic.png", "pic.png"},
        {"/", "/"},
    };
    for (const auto& n : names)
        EXPECT_EQ(FileDO::initWithDictOfMainConfig({{"photo", n.address}}).strFileName, n.name)
            << n.address;
    EXPECT_FALSE(FileDO::initWithDictOfMainConfig({{"photo", "http://h/pic?id=1"}}) ==
                 FileDO::initWithDictOfMainConfig({{"photo", "http://h/pic?id=2"}}));

    for (const QString& bad :
         QStringList{"", ".", "..", "a/b", "a\\b", "..\\x.png", "/", QString(252, 'n'),
                     QString("a") + QChar(0) + "b", QString(126, QChar(0x6587))})
        EXPECT_FALSE(FileDO::isSafeFileName(bad)) << bad.left(20).toStdString();
    EXPECT_TRUE(FileDO::isSafeFileName(QString(251, 'n')) && FileDO::isSafeFileName("pic?id=1"));
    EXPECT_TRUE(FileDO::isSafeFileName("t.png") && FileDO::isSafeFileName("..."));
}

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousHome = ns::Directories::home();
        ns::Directories::setHomeOverride(home.path());
        MultiplexCache::removeCache();
        cache = PCFile::fileCacheDir("imageCache");
    }
    void TearDown() override {
        ns::Directories::setHomeOverride(previousHome);
        MultiplexCache::removeCache();
    }
    QString url(const QString& name) const { return server.url("/pictures/" + name).toString(); }
    // Shows the picture at pictures/name, cached under key, with a blue placeholder meanwhile.
    void load(ui::ImageView* view, const QString& name, const QString& key) {
        QImage placeholder(4, 4, QImage::Format_ARGB32);
        placeholder.fill(Qt::blue);
        netLoading::asynchronousLoadImage(view, name == "null" ? name : url(name), key, cache,
                                          placeholder);
    }
    static bool shows(const ui::ImageView& view, const QColor& color) {
        return !view.image().isNull() && view.image().pixelColor(0, 0) == color;
    }
    int gets() const { return int(server.requests().size()); }

    QTemporaryDir home;
    QString previousHome, cache;
    ScriptedServer server;
};

TEST_F(DownloadTest, WaitersShareOneTransferAndTheCachesServeLater) {
    server.setHandler([](const ScriptedServer::Request&) { return picture(Qt::red, 50); });
    ui::ImageView a, b, c;
    for (ui::ImageView* view : {&a, &b, &c})
        load(view, "p.png", "k");
    EXPECT_TRUE(shows(a, Qt::blue));
    EXPECT_EQ(PCDownloadingQueue::sharedInstance().arrayOfQueue().size(), 1);
    EXPECT_TRUE(ns::NetworkActivity::isVisible());
    ASSERT_TRUE(
        waitUntil([&] { return shows(a, Qt::red) && shows(b, Qt::red) && shows(c, Qt::red); }));
    EXPECT_EQ(gets(), 1);
    EXPECT_TRUE(queueEmpty());
    EXPECT_FALSE(ns::NetworkActivity::isVisible());
    EXPECT_TRUE(QFileInfo(cache + "/k").isFile());
    EXPECT_FALSE(netLoading::fileDownloadModel(&a));

    // Memory hit: even without the file.
    QFile::remove(cache + "/k");
    ui::ImageView d, e;
    load(&d, "p.png", "k");
    EXPECT_TRUE(shows(d, Qt::red));
    // Disk hit: a fresh process has only the file.
    load(&d, "p.png", "k2");
    ASSERT_TRUE(waitUntil([&] { return shows(d, Qt::red) && gets() == 2; }));
    MultiplexCache::removeCache();
    load(&e, "p.png", "k2");
    EXPECT_TRUE(shows(e, Qt::red));
    EXPECT_EQ(gets(), 2);
}

TEST_F(DownloadTest, AWaiterThatLeavesOnlyRemovesItself) {
    server.setHandler([](const ScriptedServer::Request& r) {
        return picture(r.path.contains("green") ? Qt::green : Qt::red, 100);
    });
    ui::ImageView a, b;
    load(&a, "red.png", "r");
    load(&b, "red.png", "r");
    const auto shared = netLoading::fileDownloadModel(&a);
    ASSERT_TRUE(shared);
    // a is reused for another picture: the shared transfer goes on for b.
    load(&a, "green.png", "g");
    EXPECT_EQ(shared->delegateCount(), 1);
    EXPECT_TRUE(shared->isLoading());
    ASSERT_TRUE(waitUntil([&] { return shows(a, Qt::green) && shows(b, Qt::red); }));

    // Nobody left waiting: the transfer stops and leaves the register.
    auto* lone = new ui::ImageView;
    load(lone, "red.png", "r3");
    const auto model = netLoading::fileDownloadModel(lone);
    delete lone;
    EXPECT_FALSE(model->isLoading());
    EXPECT_TRUE(queueEmpty());
    EXPECT_FALSE(ns::NetworkActivity::isVisible());
}

TEST_F(DownloadTest, FailuresKeepThePlaceholderCacheNothingAndRetry) {
    const std::pair<const char*, ScriptedServer::Action> cases[] = {
        {"404", ScriptedServer::json("{}", 404)},
        {"html", ScriptedServer::html("<html>not a picture</html>", 200)},
        {"dropped", ScriptedServer::drop()},
        {"empty",
         [] {
             auto a = picture();
             a.body.clear();
             return a;
         }()},
    };
    for (const auto& [name, answer] : cases) {
        SCOPED_TRACE(name);
        MultiplexCache::removeCache();
        server.setHandler([&](const ScriptedServer::Request&) { return answer; });
        ui::ImageView view;
        load(&view, "x.png", name);
        ASSERT_TRUE(waitUntil([&] { return !netLoading::fileDownloadModel(&view); }));
        EXPECT_TRUE(shows(view, Qt::blue));
        EXPECT_FALSE(QFileInfo::exists(cache + "/" + name));
        EXPECT_EQ(MultiplexCache::count(), 0);
        EXPECT_TRUE(queueEmpty());
        EXPECT_FALSE(ns::NetworkActivity::isVisible());

        server.setHandler(byPath);
        load(&view, "x.png", name);
        ASSERT_TRUE(waitUntil([&] { return shows(view, Qt::red); })) << "retried";
    }
}

TEST_F(DownloadTest, ADamagedCachedFileIsReplacedAndWidePicturesAreKeptAt640) {
    ASSERT_TRUE(QDir().mkpath(cache) && PCFile::fileWriteAtPath(cache + "/w", "\x89PNG broken"));
    server.setHandler([](const ScriptedServer::Request&) {
        return picture(Qt::red, 0, {1280, 400});
    });
    ui::ImageView view;
    load(&view, "w.png", "w");
    ASSERT_TRUE(waitUntil([&] { return view.image().width() == 640; }));
    EXPECT_EQ(view.image().height(), 200);
    EXPECT_EQ(gets(), 1);
    EXPECT_EQ(QImage(cache + "/w").width(), 1280);
    EXPECT_EQ(MultiplexCache::imageWithKey(cache + "/w").width(), 640);

    // The address "null" shows the placeholder and stops waiting.
    load(&view, "null", "other");
    EXPECT_TRUE(shows(view, Qt::blue));
}

TEST_F(DownloadTest, AddressesAreEscapedOnlyWhereNeeded) {
    server.setHandler(byPath);
    ui::ImageView a, b;
    load(&a, "a%20b.png", "e1");
    load(&b, "c d.png", "e2");
    ASSERT_TRUE(waitUntil([&] { return shows(a, Qt::red) && shows(b, Qt::red); }));
    QStringList paths;
    for (const auto& r : server.requests())
        paths << r.path;
    paths.sort();
    EXPECT_EQ(paths, (QStringList{"/pictures/a%20b.png", "/pictures/c%20d.png"}));
}

TEST_F(DownloadTest, SaveErrorsAreFailures) {
    ASSERT_TRUE(PCFile::fileWriteAtPath(home.path() + "/blocker", ""));
    server.setHandler(byPath);
    auto model = PCFileDownLoadModel::create(url("s.png"), home.path() + "/blocker/sub");
    QList<bool> heard;
    model->setCompletionHandler([&](bool ok) { heard.append(ok); });
    model->download();
    ASSERT_TRUE(waitUntil([&] { return !heard.isEmpty(); }));
    EXPECT_FALSE(heard.first());
    EXPECT_FALSE(PCDownloadingQueue::contains(model.get()));
    EXPECT_FALSE(ns::NetworkActivity::isVisible());
}

TEST_F(DownloadTest, AnOfferRowShowsItsIconAndAReusedRowNeverTheOldOne) {
    server.setHandler(byPath);
    MorePackageTableViewCell cell;
    BanliDo offer;
    offer.iconUrl = url("slow-red.png");
    cell.setBanliDO(offer);
    offer.iconUrl = url("green.png"); // reused for another offer before the first icon came
    cell.setBanliDO(offer);
    ASSERT_TRUE(waitUntil([&] { return shows(*cell.iconView(), Qt::green) && queueEmpty(); }));
    EXPECT_TRUE(shows(*cell.iconView(), Qt::green));
    offer.iconUrl.clear();
    cell.setBanliDO(offer);
    EXPECT_TRUE(cell.iconView()->image().isNull());
}

// However steadily a server trickles, each kind of download ends at its own deadline on the
// clock, the archive keeping its part file to resume from; one at an honest pace that ends
// within the deadline still arrives.
TEST_F(DownloadTest, EachKindOfDownloadEndsAtItsDeadlineHoweverSlowlyItArrives) {
    ns::ScopedManualClock clock;
    // The figures the README promises, not the product's constants.
    constexpr qint64 kPicture = 2 * 60 * 1000;
    constexpr qint64 kFile = 10 * 60 * 1000;
    const auto trickle = ScriptedServer::trickle(QByteArray(100000, 'x'), 10);
    auto honest = ScriptedServer::trickle(picture(Qt::red, 0, {64, 64}).body, 2, 8);
    honest.contentType = "image/png";
    enum Kind { Picture, ListPicture, ListFile, Archive };
    const struct {
        const char* what;
        Kind kind;
        ScriptedServer::Action answer;
        qint64 deadline;
    } cases[] = {
        {"picture", Picture, trickle, kPicture},
        {"a list's picture", ListPicture, trickle, kPicture},
        {"a list's file", ListFile, trickle, kFile},
        {"archive", Archive, trickle, kFile},
        {"a list's picture at an honest pace", ListPicture, honest, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        server.setHandler([&](const ScriptedServer::Request&) { return c.answer; });
        std::optional<bool> done;
        const auto end = [&](bool ok) { done = ok; };
        PCFileDownLoadModel::Ptr shared;
        FileDownLoadModel single;
        if (c.kind == Picture || c.kind == Archive) {
            shared = c.kind == Picture
                         ? PCImageFileDownloadModel::create(url("p.png"), home.path() + "/p")
                         : ZipFileDownloadModel::create(url("a.zip"), home.path() + "/a");
            shared->setCompletionHandler(end);
            shared->download();
        } else {
            single.setPicturesOnly(c.kind == ListPicture);
            single.setUrlString(url("f.png"));
            single.setPathString(home.path() + "/list");
            single.setSaveNameString("f.png");
            single.setCompletionHandler(end);
            single.download();
        }
        const qint64 trickled = server.trickled();
        ASSERT_TRUE(waitUntil([&] { return server.trickled() > trickled + 2 || done; }));
        if (c.deadline == 0) {
            clock.clock.advance(kPicture - 1);
            ASSERT_TRUE(waitUntil([&] { return done.has_value(); }));
            EXPECT_TRUE(*done);
            continue;
        }
        clock.clock.advance(c.deadline - 1);
        EXPECT_FALSE(done.has_value());
        const qint64 late = server.trickled(); // bytes near the end never put it off
        ASSERT_TRUE(waitUntil([&] { return server.trickled() > late + 2; }));
        clock.clock.advance(1);
        ASSERT_TRUE(done.has_value());
        EXPECT_FALSE(*done);
        EXPECT_TRUE(queueEmpty());
        EXPECT_FALSE(ns::NetworkActivity::isVisible());
        EXPECT_TRUE(c.kind != Archive || QFileInfo(shared->saveTempPath()).size() > 0);
    }
}

// A head that never ends: a picture and a file each end at the head's ceiling, or at their own
// deadline when nothing tells the head apart from a slow one; the connection closes and the
// next download arrives.
TEST_F(DownloadTest, AnEndlessHeadEndsAtItsBoundOrItsDeadlineAndTheNextDownloadArrives) {
    ns::ScopedManualClock clock;
    const struct {
        const char* what;
        PCFileDownLoadModel::Ptr (*create)(const QString&, const QString&);
        qint64 deadline;
    } kinds[] = {
        {"picture", &PCImageFileDownloadModel::create, 2 * 60 * 1000}, // the README's figures
        {"file", &PCFileDownLoadModel::create, 10 * 60 * 1000},
    };
    server.setFallback(picture());
    int n = 0;
    for (const auto& kind : kinds) {
        for (const auto& c : ScriptedServer::endlessHeads()) {
            SCOPED_TRACE(std::string(kind.what) + ", " + c.what);
            server.enqueue(c.answer);
            const qint64 flooded = server.floodWritten();
            std::optional<bool> done;
            auto model = kind.create(url(QString("h%1.png").arg(++n)), home.path() + "/h");
            model->setCompletionHandler([&](bool ok) { done = ok; });
            model->download();
            if (!c.bounded) {
                ASSERT_TRUE(
                    waitUntil([&] { return server.floodWritten() > flooded + (16 << 20); }, 20000));
                clock.clock.advance(kind.deadline - 1);
                EXPECT_FALSE(done.has_value());
                clock.clock.advance(1);
            }
            ASSERT_TRUE(waitUntil([&] { return done.has_value(); }));
            EXPECT_FALSE(*done);
            EXPECT_TRUE(queueEmpty());
            EXPECT_FALSE(ns::NetworkActivity::isVisible());
            EXPECT_TRUE(waitUntil([&] { return server.openConnections() == 0; }));

            done.reset();
            auto next = kind.create(url(QString("h%1.png").arg(++n)), home.path() + "/h");
            next->setCompletionHandler([&](bool ok) { done = ok; });
            next->download();
            ASSERT_TRUE(waitUntil([&] { return done.has_value(); }));
            EXPECT_TRUE(*done);
        }
    }
}

// A dropped transfer resumes from its part file; a link planted at the part file's place is
// replaced, never written through. One not to be resumed keeps its part file in tmp/ (emptied
// at each start), never beside the file, and starts over.
TEST(ResumeTest, ADroppedTransferResumesFromItsPartFile) {
    SandboxFixture sandbox;
    const QByteArray whole = sandbox.server()
                                 .backend()
                                 .database()
                                 .scalar("SELECT png FROM home_pictures WHERE name = 'ad_flow.png'")
                                 .toByteArray();
    ASSERT_GT(whole.size(), 1000);
    const QString address =
        QString(sandbox.baseAddress()).replace("/pelvo/", "/pictures/ad_flow.png");
    const struct {
        const char* what;
        bool linkAtPart;
        bool resume;
    } cases[] = {{"no part file yet", false, true},
                 {"a link at the part file's place", true, true},
                 {"not to be resumed", false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir home, outside;
        const QString part = home.path() + "/ad_flow.png.tmp";
        const QString elsewhere = outside.filePath("elsewhere");
        ASSERT_TRUE(PCFile::fileWriteAtPath(elsewhere, "not the client's"));
        ASSERT_TRUE(!c.linkAtPart || QFile::link(elsewhere, part));
        sandbox.setFault("Pictures", sandbox::Fault::drop());

        bool ok = true;
        auto run = [&] {
            auto model = PCFileDownLoadModel::create(address, home.path());
            model->setAllowResumeForFileDownloads(c.resume);
            model->setIsNeedOutputStream(true);
            bool done = false;
            model->setCompletionHandler([&](bool success) { done = true, ok = success; });
            model->download();
            EXPECT_TRUE(waitUntil([&] { return done; }));
            return model;
        };
        auto first = run();
        EXPECT_FALSE(ok);
        EXPECT_FALSE(QFileInfo(part).isSymLink());
        EXPECT_EQ(QFileInfo::exists(part), c.resume);
        EXPECT_EQ(first->saveTempPath().startsWith(ns::Directories::temporary() + "/"), !c.resume);
        const qint64 partial = QFileInfo(first->saveTempPath()).size();
        EXPECT_GT(partial, 0);
        EXPECT_LT(partial, whole.size());
        EXPECT_FALSE(QFileInfo::exists(home.path() + "/ad_flow.png"));

        sandbox.clearFault("Pictures");
        auto second = run();
        EXPECT_TRUE(ok);
        const qint64 resumed = c.resume ? partial : 0;
        EXPECT_EQ(second->requestHeaders().value("Range"),
                  resumed ? "bytes=" + QByteArray::number(partial) + "-" : QByteArray());
        EXPECT_EQ(second->responseHeaders().contains("content-range"), c.resume);
        EXPECT_EQ(second->totalLength(), whole.size() - resumed);
        QFile saved(home.path() + "/ad_flow.png");
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_EQ(saved.readAll(), whole);
        EXPECT_FALSE(QFileInfo::exists(part));
        EXPECT_FALSE(QFileInfo::exists(second->saveTempPath()));
        run();
        EXPECT_TRUE(ok) << "a download over an existing file replaces it";
        EXPECT_EQ(ns::readRegularFile(elsewhere, 64), QByteArray("not the client's"));
    }
}

// What it hears, in order, into a list it shares with the completion block.
struct Waiter : QObject, PCFileDownLoadModelDelegate {
    Waiter(const char* name, QStringList* heard) : name(name), heard(heard) {}
    void modelDownloadSuccsess(PCFileDownLoadModel*, bool ok, const QString&) override {
        *heard << name + (ok ? " ok" : " failed");
    }
    QString name;
    QStringList* heard;
};

// A download with a part file keeps only what makes the whole file: the rest where the part
// file ends, else the whole file from zero (counted against the ceiling from zero), asked for
// again when the answer does not fit the part file. Each waiter hears one result, the block
// before the delegates on success and after them on failure; a download cancelled while others
// wait on it tells nobody and leaves the register.
TEST_F(DownloadTest, AResumedDownloadKeepsOnlyWhatMakesTheWholeFile) {
    QByteArray whole;
    for (int i = 0; i < 100; ++i)
        whole += char('a' + i % 26);
    const auto answer = [](int status, const QByteArray& body, const QByteArray& range) {
        auto a = ScriptedServer::html(body, status);
        if (!range.isEmpty()) a.headers = "Content-Range: bytes " + range + "\r\n";
        return a;
    };
    const auto rest = answer(206, whole.mid(40), "40-99/100"), all = answer(200, whole, "");
    const auto wholePart = answer(416, "no range", "*/100");
    const QByteArray part = whole.left(40);
    enum End { Saved, Failed, Cancelled };
    const struct {
        const char* what;
        QByteArray held;
        QList<ScriptedServer::Action> answers;
        qint64 ceiling;
        End end;
        QList<QByteArray> ranges; // asked for, in order ("": none)
        bool folderAtFile = false;
    } cases[] = {
        {"the rest", part, {rest}, 100, Saved, {"bytes=40-"}},
        {"the rest, a folder where the file goes", part, {rest}, 100, Saved, {"bytes=40-"}, true},
        {"the whole file, the range ignored", part, {all}, 100, Saved, {"bytes=40-"}},
        {"the whole file past the ceiling", part, {all}, 99, Failed, {"bytes=40-"}},
        {"the rest past the ceiling with the part file", part, {rest}, 99, Failed, {"bytes=40-"}},
        {"a range from elsewhere",
         part,
         {answer(206, whole.mid(50), "50-99/100"), all},
         100,
         Saved,
         {"bytes=40-", ""}},
        {"a 416 for a whole part file", whole, {wholePart}, 100, Saved, {"bytes=100-"}},
        {"a 416 for a part file of another length",
         part,
         {wholePart, all},
         100,
         Saved,
         {"bytes=40-", ""}},
        {"a 416 for a whole part file past the ceiling",
         whole,
         {wholePart},
         99,
         Failed,
         {"bytes=100-"}},
        {"cancelled while two wait",
         part,
         {ScriptedServer::noAnswer()},
         100,
         Cancelled,
         {"bytes=40-"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString file = dir.filePath("f.bin");
        ASSERT_TRUE(PCFile::fileWriteAtPath(file + ".tmp", c.held));
        ASSERT_TRUE(!c.folderAtFile || QDir().mkpath(file + "/inside"));
        const qsizetype asked = server.requests().size();
        for (const auto& a : c.answers)
            server.enqueue(a);
        auto model = PCFileDownLoadModel::create(url("f.bin"), dir.path());
        model->setAllowResumeForFileDownloads(true);
        model->setIsNeedOutputStream(true);
        model->setMaxLength(c.ceiling);
        QStringList heard;
        Waiter a("a", &heard), b("b", &heard);
        model->addDelegate(&a);
        model->addDelegate(&b);
        model->setCompletionHandler([&](bool ok) { heard << (ok ? "block ok" : "block failed"); });
        model->download();
        ASSERT_TRUE(server.waitForRequests(int(asked + c.ranges.size())));
        if (c.end == Cancelled) model->cancle();
        ASSERT_TRUE(waitUntil([&] { return !PCDownloadingQueue::contains(model.get()); }));
        QList<QByteArray> ranges;
        for (qsizetype i = asked; i < server.requests().size(); ++i)
            ranges << server.requests()[i].headers.value("range");
        EXPECT_EQ(ranges, c.ranges);
        const char* told[] = {"block ok, a ok, b ok", "a failed, b failed, block failed", ""};
        EXPECT_EQ(heard.join(", "), told[c.end]);
        EXPECT_EQ(ns::readRegularFile(file, 1000),
                  c.end == Saved ? std::optional(whole) : std::nullopt);
        EXPECT_EQ(QFileInfo::exists(file + ".tmp"), c.end == Cancelled);
        EXPECT_FALSE(model->isLoading());
    }
}

struct ListRecorder : QObject, FilesListDownloaderModelDelegate {
    using M = FilesListDownloaderModel;
    void modelStartDownloadFile(M*, const FileDO& f) override {
        events << "start " + f.strFileName;
    }
    void modelFinishDownloadFile(M*, const FileDO& f) override {
        events << "done " + f.strFileName;
    }
    void modelFailDownloadFile(M*, const FileDO& f, const QString&) override {
        events << "fail " + f.strFileName;
    }
    void modelFinishDownloadFiles(M*, const QList<FileDO>& files) override {
        QStringList names;
        for (const FileDO& f : files)
            names << f.strFileName;
        events << "end " + names.join(',');
    }
    QStringList events;
};

TEST_F(DownloadTest, AListIsFetchedInOrderOnceEachAndNeverOutsideItsDirectory) {
    server.setHandler([](const ScriptedServer::Request& r) {
        return r.path.endsWith("missing.png") ? ScriptedServer::json("{}", 404) : picture();
    });
    QList<FileDO> files;
    for (const char* name : {"a.png", "missing.png", "a.png", "x/..", "b.png"})
        files << FileDO::initWithDictOfMainConfig({{"photo", url(name)}});
    FilesListDownloaderModel list;
    ListRecorder recorder;
    list.setDelegate(&recorder);
    list.setSavePathString(home.path() + "/MainInfoConfig");
    list.setArrayOfDownloadQueues(files);
    list.startDownload();
    ASSERT_TRUE(waitUntil([&] { return recorder.events.size() == 9; }));
    EXPECT_EQ(recorder.events,
              (QStringList{"start a.png", "done a.png", "start missing.png", "fail missing.png",
                           "start ..", "fail ..", "start b.png", "done b.png", "end a.png,b.png"}));
    EXPECT_EQ(gets(), 3);
    EXPECT_EQ(QDir(home.path() + "/MainInfoConfig").entryList(QDir::Files),
              (QStringList{"a.png", "b.png"}));
    EXPECT_FALSE(ns::NetworkActivity::isVisible());
}

// What a hostile server hands over as a picture, through an image view and a picture
// download: the transfer stops at the ceiling, nothing of it is kept, and a real picture among
// them still arrives, decoded no wider than it is cached.
TEST_F(DownloadTest, HostilePicturesAreStoppedAtTheCeilingAndNeverKept) {
    SandboxFixture sandbox;
    const QString generated =
        QString(sandbox.baseAddress()).replace("/pelvo/", "/pictures/generated/");
    const QString previousBase = tavrixConfig::serverBaseAddress();
    tavrixConfig::setServerBaseAddress(generated);
    const struct {
        const char* what;
        const char* path;
        bool kept;
    } cases[] = {
        {"500 MB announced", "bytes-524288000.png", false},
        {"endless, no length", "bytes-endless.png", false},
        {"announces 5 KB, sends without end", "bytes-endless.png?declare=5000", false},
        {"declares 100000 x 100000", "declared-100000x100000.png", false},
        {"a real picture of 1280 x 400", "1280x400.png", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString address = generated + c.path;
        const QString key = MD5::md5(address);
        MultiplexCache::removeCache();

        ui::ImageView view;
        netLoading::asynchronousLoadImage(&view, address, key, cache, QImage());
        ASSERT_TRUE(waitUntil([&] { return !netLoading::fileDownloadModel(&view); }, 30000));
        EXPECT_EQ(view.image().width(), c.kept ? 640 : 0);
        EXPECT_EQ(QFileInfo::exists(cache + "/" + key), c.kept);
        EXPECT_FALSE(QFileInfo::exists(cache + "/" + key + ".tmp"));
        EXPECT_TRUE(queueEmpty());

        auto model = PCImageFileDownloadModel::create(address, home.path() + "/direct");
        std::optional<bool> done;
        model->setCompletionHandler([&](bool ok) { done = ok; });
        model->download();
        ASSERT_TRUE(waitUntil([&] { return done.has_value(); }, 30000));
        EXPECT_EQ(*done, c.kept);
        EXPECT_LE(model->currentLength(), ui::kMaxPictureBytes);
        EXPECT_EQ(QDir(home.path() + "/direct").entryList(QDir::Files).size(), c.kept ? 1 : 0);

        QDir(home.path() + "/direct").removeRecursively();

        // An image view made for the address, the address relative to the server's.
        MultiplexCache::removeCache();
        QFile::remove(cache + "/" + key);
        std::unique_ptr<ui::ImageView> made(
            BFLayoutUtils::getUIImageViewWithURL(c.path, QRectF(0, 0, 320, 100)));
        EXPECT_TRUE(made->image().isNull()); // nothing is waited for
        ASSERT_TRUE(waitUntil([&] { return !netLoading::fileDownloadModel(made.get()); }, 30000));
        EXPECT_EQ(made->image().width(), c.kept ? 640 : 0);
    }
    tavrixConfig::setServerBaseAddress(previousBase);
}

// Two pictures told apart only by their query are two files, each with its own picture.
TEST_F(DownloadTest, PicturesToldApartByTheirQueryAreTwoFiles) {
    server.setHandler(byPath);
    QList<FileDO> files;
    for (const char* name : {"pic?c=red", "pic?c=green", "pic?c=red"})
        files << FileDO::initWithDictOfMainConfig({{"photo", url(name)}});
    FilesListDownloaderModel list;
    ListRecorder recorder;
    list.setDelegate(&recorder);
    list.setSavePathString(home.path() + "/MainInfoConfig");
    list.setPicturesOnly(true);
    list.setArrayOfDownloadQueues(files);
    list.startDownload();
    ASSERT_TRUE(waitUntil([&] { return recorder.events.size() == 5; }));
    EXPECT_EQ(recorder.events.last(), "end pic?c=red,pic?c=green");
    EXPECT_EQ(gets(), 2);
    EXPECT_EQ(QImage(home.path() + "/MainInfoConfig/pic?c=red").pixelColor(0, 0), Qt::red);
    EXPECT_EQ(QImage(home.path() + "/MainInfoConfig/pic?c=green").pixelColor(0, 0), Qt::green);
}

// Pictures kept in memory stay within the cache's ceiling: the least recently used go first.
TEST_F(DownloadTest, ThePictureCacheKeepsWithinItsCeiling) {
    QImage picture(640, 640, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    const qint64 each = picture.sizeInBytes();
    const int fits = int(MultiplexCache::kMaxBytes / each);
    MultiplexCache::setImage(picture, "first");
    for (int i = 1; i < 3 * fits; ++i) {
        MultiplexCache::imageWithKey("first"); // in use
        MultiplexCache::setImage(picture.copy(), QString::number(i));
    }
    EXPECT_LE(MultiplexCache::count() * each, MultiplexCache::kMaxBytes);
    EXPECT_FALSE(MultiplexCache::imageWithKey("first").isNull());
    EXPECT_TRUE(MultiplexCache::imageWithKey("1").isNull());
}

} // namespace

namespace {

TEST(PCFileCopy, CopiesAFileOrAWholeFolderAndNeverReplacesAnything) {
    QTemporaryDir dir;
    const QString d = dir.path();
    ASSERT_TRUE(QDir().mkpath(d + "/tree/sub/deeper"));
    ASSERT_TRUE(PCFile::fileWriteAtPath(d + "/tree/a.txt", "a"));
    ASSERT_TRUE(PCFile::fileWriteAtPath(d + "/tree/sub/deeper/b.txt", "b"));
    ASSERT_TRUE(QFile::link("a.txt", d + "/tree/link"));
    ASSERT_TRUE(PCFile::fileWriteAtPath(d + "/kept.txt", "kept"));
    ASSERT_TRUE(QDir().mkpath(d + "/keptDir"));
    const struct {
        const char* what;
        QString from, to;
        bool copied;
        QStringList tree; // what is at `to` afterwards, relative
    } cases[] = {
        {"a file", d + "/tree/a.txt", d + "/copy.txt", true, {}},
        {"a folder tree",
         d + "/tree",
         d + "/copyTree",
         true,
         {"a.txt", "link", "sub", "sub/deeper", "sub/deeper/b.txt"}},
        {"a missing source", d + "/none", d + "/copyNone", false, {}},
        {"an existing file", d + "/tree/a.txt", d + "/kept.txt", false, {}},
        {"an existing folder", d + "/tree", d + "/keptDir", false, {}},
        {"a folder into itself", d + "/tree", d + "/tree/sub/again", false, {}},
        {"into a missing folder", d + "/tree/a.txt", d + "/no/such/copy.txt", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const bool existed = QFileInfo::exists(c.to);
        EXPECT_EQ(PCFile::fileCopy(c.from, c.to), c.copied);
        if (!c.copied) {
            EXPECT_EQ(QFileInfo::exists(c.to), existed);
            continue;
        }
        QStringList found;
        QDirIterator it(c.to, QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            found << QDir(c.to).relativeFilePath(it.next());
        found.sort();
        EXPECT_EQ(found, c.tree);
    }
    QFile copy(d + "/copyTree/sub/deeper/b.txt");
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), "b");
    EXPECT_EQ(QFileInfo(d + "/copyTree/link").symLinkTarget(), d + "/copyTree/a.txt");
    QFile kept(d + "/kept.txt");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "kept");
    EXPECT_FALSE(QFileInfo::exists(d + "/tree/sub/again"));
}

// Cache files are put over a pipe or a link in their place, never into or through it; an
// archive is unpacked from a plain file only.
TEST(PCFileWrite, APipeOrALinkInPlaceIsReplacedAndAPipeIsNoArchive) {
    QTemporaryDir d;
    const QString pipe = d.filePath("pipe"), kept = d.filePath("kept");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(PCFile::fileWriteAtPath(kept, "kept") && QFile::link(kept, d.filePath("link")));
    bool unpacked = true, written = false;
    ASSERT_TRUE(testsupport::endsInTime(
        [&] {
            unpacked = ZipFileDownloadModel::unZipFile(pipe, d.filePath("into"));
            written = PCFile::fileWriteAtPath(pipe, "new") &&
                      PCFile::fileSaveAtomically(d.path(), "link", "new").isEmpty();
        },
        {pipe}));
    EXPECT_FALSE(unpacked);
    EXPECT_TRUE(written);
    for (const char* name : {"pipe", "link"})
        EXPECT_EQ(ns::readRegularFile(d.filePath(name), 8), QByteArray("new")) << name;
    EXPECT_EQ(ns::readRegularFile(kept, 8), QByteArray("kept"));
}

TEST_F(DownloadTest, APipeInPlaceOfACachedPictureIsNeverWaitedOn) {
    ASSERT_TRUE(QDir().mkpath(cache));
    const QString pipe = cache + "/piped";
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    server.setHandler([](const ScriptedServer::Request&) { return picture(Qt::red); });
    // Should the load open the pipe, a writer sets it free after a while and the test fails.
    std::mutex lock;
    std::condition_variable changed;
    bool loaded = false;
    bool freed = false;
    std::thread guard([&] {
        std::unique_lock<std::mutex> held(lock);
        if (changed.wait_for(held, std::chrono::seconds(5), [&] { return loaded; })) return;
        freed = true;
        QFile writer(pipe);
        writer.open(QIODevice::WriteOnly);
    });
    ui::ImageView view;
    load(&view, "piped.png", "piped");
    {
        std::lock_guard<std::mutex> held(lock);
        loaded = true;
    }
    changed.notify_all();
    guard.join();
    EXPECT_FALSE(freed);
    EXPECT_TRUE(shows(view, Qt::blue)); // the placeholder while the picture comes
    ASSERT_TRUE(waitUntil([&] { return shows(view, Qt::red); }));
    EXPECT_TRUE(QFileInfo(pipe).isFile());
}

} // namespace
