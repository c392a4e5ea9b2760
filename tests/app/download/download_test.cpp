#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/download/FilesListDownloaderModel.h"
#include "app/download/GroupFileDO.h"
#include "app/download/MultiplexCache.h"
#include "app/download/PCConfigDO.h"
#include "app/download/PCDownloadingQueue.h"
#include "app/download/PCFile.h"
#include "app/download/netLoading.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/NetworkActivity.h"
#include "platform/ui/ImageView.h"
#include "sandbox/SandboxServer.h"
#include "screens/services/MorePackageTableViewCell.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/Wait.h"

namespace {

QByteArray png(int width, int height, QColor color = Qt::red) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

ScriptedServer::Action picture(const QByteArray& bytes, int delayMs = 0) {
    ScriptedServer::Action a;
    a.body = bytes;
    a.contentType = "image/png";
    a.delayMs = delayMs;
    return a;
}

QImage placeholder() {
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    return image;
}

TEST(Paths, EveryCacheFileLivesUnderTheHomesCaches) {
    QTemporaryDir home;
    const QString previous = ns::Directories::home();
    ns::Directories::setHomeOverride(home.path());
    const struct {
        QString path;
        QString expected;
    } cases[] = {
        {PCFile::fileCacheDir("imageCache"), home.path() + "/Library/Caches/imageCache"},
        {PCFile::fileCacheDir("AD.xml"), home.path() + "/Library/Caches/AD.xml"},
        {PCFile::fileDocDir("a"), home.path() + "/Documents/a"},
        {PCFile::fileTempDir("t"), home.path() + "/tmp/t"},
        {PCFile::fileHomeDir(), home.path()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.path, c.expected);
    EXPECT_FALSE(QFileInfo::exists(PCFile::fileCacheDir("imageCache")));
    EXPECT_FALSE(PCFile::fileCreateDir(home.path() + "/no/parent"));
    EXPECT_TRUE(PCFile::fileCreateDir(home.path() + "/one"));
    EXPECT_TRUE(PCFile::fileWriteAtPath(home.path() + "/one/f", "x"));
    EXPECT_EQ(PCFile::fileSubFileNames(home.path() + "/one"), QStringList{"f"});
    EXPECT_TRUE(PCFile::fileDel(home.path() + "/one"));
    EXPECT_FALSE(PCFile::fileExistAtPath(home.path() + "/one"));
    ns::Directories::setHomeOverride(previous);

    EXPECT_EQ(PCConfigDO().toUrlString(), "://:");
    PCConfigDO record;
    record.urlProtocol = "http";
    record.urlIP = "10.0.0.5";
    record.urlPort = "8080";
    record.urlPath = "/pelvo/";
    EXPECT_EQ(record.toUrlString(), "http://10.0.0.5:8080/pelvo/");
    EXPECT_EQ(record.cid, 1);
}

TEST(FileRecords, ReadFromAdvertsTilesAndGroups) {
    const FileDO ad = FileDO::initWithDict({{"image", "http://h/p/ad%201.png?v=2"},
                                            {"name", "T"},
                                            {"data", "http://h/page"},
                                            {"forNative", 1},
                                            {"storyBoardName", "Flow"},
                                            {"viewName", "X"}});
    EXPECT_EQ(ad.strFileName, "ad 1.png");
    EXPECT_EQ(ad.forNative, "1");
    EXPECT_EQ(ad.strLinkURL, "http://h/page");
    EXPECT_TRUE(FileDO::initWithDict({{"name", "no picture"}}).strFileName.isNull());
    const FileDO tile =
        FileDO::initWithDictOfMainConfig({{"photo", "http://h/x/t.png"}, {"title", "A"}});
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
    EXPECT_EQ(group.docFileName(), "doc.pdf");
    EXPECT_EQ(group.docType(), 3);
    EXPECT_EQ(group.imageID(), "7");
    EXPECT_EQ(group.docDescribeName(), "R");

    const struct {
        const char* name;
        bool safe;
    } names[] = {{"t.png", true}, {"", false},     {".", false},         {"..", false},
                 {"a/b", false},  {"a\\b", false}, {"..\\x.png", false}, {"...", true}};
    for (const auto& n : names)
        EXPECT_EQ(FileDO::isSafeFileName(n.name), n.safe) << n.name;
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
    bool shows(const ui::ImageView& view, const QColor& color) const {
        return !view.image().isNull() && view.image().pixelColor(0, 0) == color;
    }
    int gets() const { return int(server.requests().size()); }

    QTemporaryDir home;
    QString previousHome;
    QString cache;
    ScriptedServer server;
};

TEST_F(DownloadTest, WaitersShareOneTransferAndTheCachesServeLater) {
    server.setHandler([](const ScriptedServer::Request&) { return picture(png(8, 8), 50); });
    ui::ImageView a, b, c;
    for (ui::ImageView* view : {&a, &b, &c})
        netLoading::asynchronousLoadImage(view, url("p.png"), "k", cache, placeholder());
    EXPECT_TRUE(shows(a, Qt::blue));
    EXPECT_EQ(PCDownloadingQueue::sharedInstance().arrayOfQueue().size(), 1);
    EXPECT_TRUE(ns::NetworkActivity::isVisible());
    ASSERT_TRUE(
        waitUntil([&] { return shows(a, Qt::red) && shows(b, Qt::red) && shows(c, Qt::red); }));
    EXPECT_EQ(gets(), 1);
    EXPECT_TRUE(PCDownloadingQueue::sharedInstance().arrayOfQueue().isEmpty());
    EXPECT_FALSE(ns::NetworkActivity::isVisible());
    EXPECT_TRUE(QFileInfo(cache + "/k").isFile());
    EXPECT_FALSE(netLoading::fileDownloadModel(&a));

    // Memory hit: even without the file.
    QFile::remove(cache + "/k");
    ui::ImageView d;
    netLoading::asynchronousLoadImage(&d, url("p.png"), "k", cache, placeholder());
    EXPECT_TRUE(shows(d, Qt::red));
    // Disk hit: a fresh process has only the file.
    netLoading::asynchronousLoadImage(&d, url("p.png"), "k2", cache, placeholder());
    ASSERT_TRUE(waitUntil([&] { return shows(d, Qt::red) && gets() == 2; }));
    MultiplexCache::removeCache();
    ui::ImageView e;
    netLoading::asynchronousLoadImage(&e, url("p.png"), "k2", cache, placeholder());
    EXPECT_TRUE(shows(e, Qt::red));
    EXPECT_EQ(gets(), 2);
}

TEST_F(DownloadTest, AWaiterThatLeavesOnlyRemovesItself) {
    server.setHandler([](const ScriptedServer::Request& r) {
        return picture(png(8, 8, r.path.contains("green") ? Qt::green : Qt::red), 100);
    });
    ui::ImageView a, b;
    netLoading::asynchronousLoadImage(&a, url("red.png"), "r", cache, placeholder());
    netLoading::asynchronousLoadImage(&b, url("red.png"), "r", cache, placeholder());
    const auto shared = netLoading::fileDownloadModel(&a);
    ASSERT_TRUE(shared);
    // a is reused for another picture: the shared transfer goes on for b.
    netLoading::asynchronousLoadImage(&a, url("green.png"), "g", cache, placeholder());
    EXPECT_EQ(shared->delegateCount(), 1);
    EXPECT_TRUE(shared->isLoading());
    ASSERT_TRUE(waitUntil([&] { return shows(a, Qt::green) && shows(b, Qt::red); }));

    // Nobody left waiting: the transfer stops and leaves the register.
    auto* lone = new ui::ImageView;
    netLoading::asynchronousLoadImage(lone, url("red.png"), "r3", cache, placeholder());
    const auto model = netLoading::fileDownloadModel(lone);
    delete lone;
    EXPECT_FALSE(model->isLoading());
    EXPECT_TRUE(PCDownloadingQueue::sharedInstance().arrayOfQueue().isEmpty());
    EXPECT_FALSE(ns::NetworkActivity::isVisible());
}

TEST_F(DownloadTest, FailuresKeepThePlaceholderCacheNothingAndRetry) {
    struct Case {
        const char* name;
        ScriptedServer::Action answer;
    };
    const Case cases[] = {
        {"404", ScriptedServer::json("{}", 404)},
        {"html", ScriptedServer::html("<html>not a picture</html>", 200)},
        {"dropped", ScriptedServer::drop()},
        {"empty", picture({})},
    };
    for (const Case& c : cases) {
        MultiplexCache::removeCache();
        server.setHandler([&](const ScriptedServer::Request&) { return c.answer; });
        ui::ImageView view;
        netLoading::asynchronousLoadImage(&view, url("x.png"), c.name, cache, placeholder());
        ASSERT_TRUE(waitUntil([&] { return !netLoading::fileDownloadModel(&view); })) << c.name;
        EXPECT_TRUE(shows(view, Qt::blue)) << c.name;
        EXPECT_FALSE(QFileInfo::exists(cache + "/" + c.name)) << c.name;
        EXPECT_EQ(MultiplexCache::count(), 0) << c.name;
        EXPECT_TRUE(PCDownloadingQueue::sharedInstance().arrayOfQueue().isEmpty()) << c.name;
        EXPECT_FALSE(ns::NetworkActivity::isVisible()) << c.name;

        server.setHandler([](const ScriptedServer::Request&) { return picture(png(8, 8)); });
        netLoading::asynchronousLoadImage(&view, url("x.png"), c.name, cache, placeholder());
        ASSERT_TRUE(waitUntil([&] { return shows(view, Qt::red); })) << c.name << " retried";
    }
}

TEST_F(DownloadTest, ADamagedCachedFileIsReplacedAndWidePicturesAreKeptAt640) {
    QDir().mkpath(cache);
    QFile damaged(cache + "/w");
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\x89PNG broken");
    damaged.close();
    server.setHandler([](const ScriptedServer::Request&) { return picture(png(1280, 400)); });
    ui::ImageView view;
    netLoading::asynchronousLoadImage(&view, url("w.png"), "w", cache, placeholder());
    ASSERT_TRUE(waitUntil([&] { return view.image().width() == 640; }));
    EXPECT_EQ(view.image().height(), 200);
    EXPECT_EQ(gets(), 1);
    EXPECT_EQ(QImage(cache + "/w").width(), 1280);
    EXPECT_EQ(MultiplexCache::imageWithKey(cache + "/w").width(), 640);

    // The address "null" shows the placeholder and stops waiting.
    netLoading::asynchronousLoadImage(&view, "null", "other", cache, placeholder());
    EXPECT_TRUE(shows(view, Qt::blue));
}

TEST_F(DownloadTest, AddressesAreEscapedOnlyWhereNeeded) {
    server.setHandler([](const ScriptedServer::Request&) { return picture(png(8, 8)); });
    ui::ImageView a, b;
    netLoading::asynchronousLoadImage(&a, url("a%20b.png"), "e1", cache, placeholder());
    ASSERT_TRUE(waitUntil([&] { return shows(a, Qt::red); }));
    netLoading::asynchronousLoadImage(&b, url("c d.png"), "e2", cache, placeholder());
    ASSERT_TRUE(waitUntil([&] { return shows(b, Qt::red); }));
    ASSERT_EQ(gets(), 2);
    EXPECT_EQ(server.requests()[0].path, "/pictures/a%20b.png");
    EXPECT_EQ(server.requests()[1].path, "/pictures/c%20d.png");
}

TEST_F(DownloadTest, SaveErrorsAreFailures) {
    QFile blocker(home.path() + "/blocker");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    server.setHandler([](const ScriptedServer::Request&) { return picture(png(8, 8)); });
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
    server.setHandler([](const ScriptedServer::Request& r) {
        return picture(png(8, 8, r.path.contains("green") ? Qt::green : Qt::red),
                       r.path.contains("slow") ? 150 : 0);
    });
    MorePackageTableViewCell cell;
    BanliDo offer;
    offer.iconUrl = url("slow-red.png");
    cell.setBanliDO(offer);
    offer.iconUrl = url("green.png"); // reused for another offer before the first icon came
    cell.setBanliDO(offer);
    ASSERT_TRUE(waitUntil([&] { return shows(*cell.iconView(), Qt::green); }));
    ASSERT_TRUE(
        waitUntil([&] { return PCDownloadingQueue::sharedInstance().arrayOfQueue().isEmpty(); }));
    EXPECT_TRUE(shows(*cell.iconView(), Qt::green));
    offer.iconUrl.clear();
    cell.setBanliDO(offer);
    EXPECT_TRUE(cell.iconView()->image().isNull());
}

TEST(ResumeTest, ADroppedTransferResumesFromItsPartFile) {
    QTemporaryDir home;
    SandboxFixture sandbox;
    const QByteArray whole = sandbox.server()
                                 .backend()
                                 .database()
                                 .scalar("SELECT png FROM home_pictures WHERE name = 'ad_flow.png'")
                                 .toByteArray();
    ASSERT_GT(whole.size(), 1000);
    const QString address =
        QString(sandbox.baseAddress()).replace("/pelvo/", "/pictures/ad_flow.png");
    sandbox.setFault("Pictures", sandbox::Fault::drop());

    auto run = [&](bool* ok) {
        auto model = PCFileDownLoadModel::create(address, home.path());
        model->setAllowResumeForFileDownloads(true);
        model->setIsNeedOutputStream(true);
        bool done = false;
        model->setCompletionHandler([&](bool success) {
            done = true;
            *ok = success;
        });
        model->download();
        EXPECT_TRUE(waitUntil([&] { return done; }));
        return model;
    };
    bool ok = true;
    auto first = run(&ok);
    EXPECT_FALSE(ok);
    const QString part = home.path() + "/ad_flow.png.tmp";
    const qint64 partial = QFileInfo(part).size();
    EXPECT_GT(partial, 0);
    EXPECT_LT(partial, whole.size());
    EXPECT_FALSE(QFileInfo::exists(home.path() + "/ad_flow.png"));

    sandbox.clearFault("Pictures");
    auto second = run(&ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(second->requestHeaders().value("Range"),
              "bytes=" + QByteArray::number(partial) + "-");
    EXPECT_TRUE(second->responseHeaders().contains("content-range"));
    EXPECT_EQ(second->totalLength(), whole.size() - partial);
    QFile saved(home.path() + "/ad_flow.png");
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), whole);
    EXPECT_FALSE(QFileInfo::exists(part));
}

class ListRecorder : public QObject, public FilesListDownloaderModelDelegate {
public:
    void modelStartDownloadFile(FilesListDownloaderModel*, const FileDO& f) override {
        events << "start " + f.strFileName;
    }
    void modelFinishDownloadFile(FilesListDownloaderModel*, const FileDO& f) override {
        events << "done " + f.strFileName;
    }
    void modelFailDownloadFile(FilesListDownloaderModel*, const FileDO& f,
                               const QString&) override {
        events << "fail " + f.strFileName;
    }
    void modelFinishDownloadFiles(FilesListDownloaderModel*, const QList<FileDO>& files) override {
        QStringList names;
        for (const FileDO& f : files)
            names << f.strFileName;
        events << "end " + names.join(',');
    }
    QStringList events;
};

TEST_F(DownloadTest, AListIsFetchedInOrderOnceEachAndNeverOutsideItsDirectory) {
    server.setHandler([](const ScriptedServer::Request& r) {
        return r.path.endsWith("missing.png") ? ScriptedServer::json("{}", 404)
                                              : picture(png(4, 4));
    });
    auto file = [&](const QString& path) {
        return FileDO::initWithDictOfMainConfig({{"photo", path}});
    };
    FilesListDownloaderModel list;
    ListRecorder recorder;
    list.setDelegate(&recorder);
    list.setSavePathString(home.path() + "/MainInfoConfig");
    list.setArrayOfDownloadQueues({file(url("a.png")), file(url("missing.png")), file(url("a.png")),
                                   file(url("x/..")), file(url("b.png"))});
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

} // namespace
