// What hostile pictures and downloads cost the client: a cached tile reply whose entries all
// name one large picture, many large cached adverts, and picture and archive downloads far
// larger than any real one. Each reports the peak resident memory of the run and the bytes the
// process wrote; the downloads come from the sandbox's generated routes over loopback. One more
// reports how long the window stands still while the largest allowed archive unpacks.

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include "app/categories/MD5.h"
#include "app/core/tavrixConfig.h"
#include "app/download/FilesListDownloaderModel.h"
#include "app/download/MultiplexCache.h"
#include "app/download/PCFile.h"
#include "app/download/PCFileDownLoadModel.h"
#include "app/download/ZipFileDownloadModel.h"
#include "app/download/netLoading.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/ImageView.h"
#include "sandbox/PictureStore.h"
#include "screens/home/RootViewController.h"
#include "tests/support/GifWriter.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/Wait.h"
#include "tests/support/ZipWriter.h"

namespace {

void quietMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

// One line of /proc/self/status or /proc/self/io, as a number.
qint64 procField(const char* file, const QByteArray& key) {
    QFile f(QString::fromLatin1(file));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed().split(' ')[0].toLongLong();
    return 0;
}

// Peak memory and bytes written from here on.
struct Meter {
    Meter() {
        QFile refs(QStringLiteral("/proc/self/clear_refs"));
        if (refs.open(QIODevice::WriteOnly)) refs.write("5"); // restarts the peak
        written = procField("/proc/self/io", "wchar");
        disk = procField("/proc/self/io", "write_bytes");
    }
    void report(benchmark::State& state) const {
        state.counters["peak_rss_MB"] = double(procField("/proc/self/status", "VmHWM")) / 1024;
        state.counters["written_MB"] =
            double(procField("/proc/self/io", "wchar") - written) / (1 << 20);
        state.counters["disk_written_MB"] =
            double(procField("/proc/self/io", "write_bytes") - disk) / (1 << 20);
    }
    // wchar counts every write, the in-process sandbox's socket writes too; write_bytes only
    // what went to storage.
    qint64 written;
    qint64 disk;
};

QByteArray pngOfSide(int side) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 200));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// A fresh home whose server never answers, so the page draws only what is cached.
struct QuietHome {
    QuietHome() {
        ns::Directories::setHomeOverride(home.path());
        ns::UserDefaults::resetStandardUserDefaults();
        tavrixConfig::setServerBaseAddress(
            QStringLiteral("http://127.0.0.1:%1/pelvo/").arg(ScriptedServer::closedPort()));
        MultiplexCache::removeCache();
        previous = qInstallMessageHandler(quietMessages);
    }
    ~QuietHome() {
        qInstallMessageHandler(previous);
        MultiplexCache::removeCache();
        ns::UserDefaults::resetStandardUserDefaults();
        ns::Directories::setHomeOverride({});
    }
    // Builds the home page from its caches and draws it once.
    static void drawHome() {
        RootViewController page;
        page.loadViewIfNeeded();
        page.view()->setFrame(QRectF(0, 0, 320, 568));
        benchmark::DoNotOptimize(page.view()->renderToImage());
    }
    QTemporaryDir home;
    QtMessageHandler previous;
};

// A cached "MainInfoConfList" reply of range(0) entries that all name one picture of
// range(1) x range(1) pixels: the time to the first drawn home page.
void BM_Home_CachedTilesOfOnePicture(benchmark::State& state) {
    QuietHome quiet;
    const int entries = int(state.range(0));
    QVariantList list;
    for (int i = 0; i < entries; ++i)
        list.append(QVariantMap{{"position", 1 + i % 3},
                                {"title", "t"},
                                {"main_desc", "d"},
                                {"photo", "http://127.0.0.1:1/pictures/big.png"},
                                {"type", 0}});
    ns::PropertyList::writeFile(PCFile::fileCacheDir("MainInfoConfList.xml"),
                                QVariantMap{{"result", 0}, {"list", list}});
    QDir().mkpath(RootViewController::mainConfigDirectory());
    PCFile::fileWriteAtPath(RootViewController::mainConfigDirectory() + "/big.png",
                            pngOfSide(int(state.range(1))));
    Meter meter;
    for (auto _ : state)
        QuietHome::drawHome();
    meter.report(state);
}
BENCHMARK(BM_Home_CachedTilesOfOnePicture)
    ->Args({14, 5000})
    ->Args({1400, 5000})
    ->Args({1400, 4000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// range(0) cached adverts, each its own picture of range(1) x range(1) pixels, at start.
void BM_Home_CachedAdverts(benchmark::State& state) {
    QuietHome quiet;
    const QByteArray png = pngOfSide(int(state.range(1)));
    QVariantList list;
    const QString cache = PCFile::fileCacheDir("imageCache");
    QDir().mkpath(cache);
    for (int i = 0; i < state.range(0); ++i) {
        const QString url = QStringLiteral("http://127.0.0.1:1/pictures/ad-%1.png").arg(i);
        list.append(QVariantMap{{"image", url}, {"name", "ad"}, {"data", "http://127.0.0.1:1/"}});
        PCFile::fileWriteAtPath(cache + "/" + MD5::md5(url), png);
    }
    ns::PropertyList::writeFile(PCFile::fileCacheDir("AD.xml"),
                                QVariantMap{{"position", 1}, {"list", list}});
    Meter meter;
    for (auto _ : state) {
        MultiplexCache::removeCache();
        QuietHome::drawHome();
    }
    meter.report(state);
}
BENCHMARK(BM_Home_CachedAdverts)
    ->Args({50, 5000})
    ->Args({50, 4000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// A picture of side x side in one of the kinds a server may send: PNG of 0 colour (8 bits a
// channel), 1 a palette, 2 colour with alpha at 16 bits a channel, 3 colour stored interlaced;
// JPEG 4 sequential, 5 progressive; 6 GIF. Drawn pixels vary a little, so the file is of a real
// picture's size rather than a few bytes.
QByteArray pictureOfKind(int kind, int side) {
    if (kind == 3) // Qt writes no interlaced PNG
        return sandbox::PictureStore::uniformPng(side, side, 8, 2, QByteArray("\x28\x78\xc8", 3),
                                                 true);
    const QImage::Format format = kind == 1   ? QImage::Format_Indexed8
                                  : kind == 2 ? QImage::Format_RGBA64
                                              : QImage::Format_RGB32;
    QImage image(side, side, format);
    if (kind == 1) {
        QList<QRgb> colours;
        for (int i = 0; i < 256; ++i)
            colours.append(qRgb(i, 255 - i, 100));
        image.setColorTable(colours);
    }
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.setPixel(x, y, kind == 1 ? uint((x ^ y) % 5) : qRgb(40 + (x ^ y) % 5, 120, 200));
    if (kind == 6) return testsupport::gifOf(image);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, kind >= 4 ? "jpeg" : "png");
    writer.setProgressiveScanWrite(kind == 5);
    writer.write(image);
    return bytes;
}

// Resident memory now, in KB.
qint64 residentKB() {
    return procField("/proc/self/status", "VmRSS");
}

// The largest picture of each kind the advert (640 wide) still decodes: its side.
int ceilingSide(int kind) {
    static const int sides[] = {4096, 2149, 1276, 2632, 4096, 1888, 1861};
    return sides[kind];
}

// Three home tiles and three cached adverts that all name one picture of kind range(0) and
// range(1) x range(1) pixels, or with kind 7 a mix: the tiles name an interlaced PNG, a 16-bit
// PNG and a GIF, the adverts a progressive JPEG, an interlaced PNG and a 16-bit PNG, each at
// its ceiling. rise_MB is the peak while the home page is built and drawn over what the process
// held before, the pictures' cost; settled_MB what the process still holds over that once the
// page is gone (the memory cache's pictures included).
void BM_Home_TilesAndAdvertsOfOnePicture(benchmark::State& state) {
    QuietHome quiet;
    // The page's own first drawing (fonts, bundled images) is not the pictures' cost.
    QuietHome::drawHome();
    const bool mix = state.range(0) == 7;
    const int tileKinds[] = {3, 2, 6}, advertKinds[] = {5, 3, 2};
    const auto picture = [&](int kind) {
        return mix ? pictureOfKind(kind, ceilingSide(kind))
                   : pictureOfKind(int(state.range(0)), int(state.range(1)));
    };
    QVariantList tiles, adverts;
    QDir().mkpath(RootViewController::mainConfigDirectory());
    const QString cache = PCFile::fileCacheDir("imageCache");
    QDir().mkpath(cache);
    qint64 fileBytes = 0;
    for (int i = 0; i < 3; ++i) {
        const QString name = mix ? QStringLiteral("big-%1.png").arg(i) : QStringLiteral("big.png");
        const QString url = QStringLiteral("http://127.0.0.1:1/pictures/") + name;
        tiles.append(QVariantMap{
            {"position", 1 + i}, {"title", "t"}, {"main_desc", "d"}, {"photo", url}, {"type", 0}});
        const QString ad =
            mix ? QStringLiteral("http://127.0.0.1:1/pictures/ad-%1.png").arg(i) : url;
        adverts.append(QVariantMap{{"image", ad}, {"name", "ad"}, {"data", "http://127.0.0.1:1/"}});
        if (!mix && i > 0) continue;
        const QByteArray tile = picture(tileKinds[i]), advert = picture(advertKinds[i]);
        PCFile::fileWriteAtPath(RootViewController::mainConfigDirectory() + "/" + name, tile);
        PCFile::fileWriteAtPath(cache + "/" + MD5::md5(ad), advert);
        fileBytes += tile.size() + (mix ? advert.size() : 0);
    }
    ns::PropertyList::writeFile(PCFile::fileCacheDir("MainInfoConfList.xml"),
                                QVariantMap{{"result", 0}, {"list", tiles}});
    ns::PropertyList::writeFile(PCFile::fileCacheDir("AD.xml"),
                                QVariantMap{{"position", 1}, {"list", adverts}});
    // What making the pictures here took is not the client's: given back before measuring.
    ::malloc_trim(0);
    Meter meter;
    const qint64 before = residentKB();
    for (auto _ : state) {
        MultiplexCache::removeCache();
        QuietHome::drawHome();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    meter.report(state);
    state.counters["rise_MB"] = double(procField("/proc/self/status", "VmHWM") - before) / 1024;
    state.counters["settled_MB"] = double(residentKB() - before) / 1024;
    state.counters["file_KB"] = double(fileBytes) / 1024;
    // How many adverts' pictures were decoded at all (a picture past the ceilings is not).
    state.counters["shown"] = MultiplexCache::count();
}
BENCHMARK(BM_Home_TilesAndAdvertsOfOnePicture)
    ->ArgNames({"kind", "side"})
    ->Args({0, 16})
    ->Args({0, 4000})
    ->Args({1, 4000})
    ->Args({2, 4000})
    ->Args({3, 4000})
    ->Args({5, 4000})
    // Each kind at its own ceiling, and the mix.
    ->Args({0, ceilingSide(0)})
    ->Args({1, ceilingSide(1)})
    ->Args({2, ceilingSide(2)})
    ->Args({3, ceilingSide(3)})
    ->Args({4, ceilingSide(4)})
    ->Args({5, ceilingSide(5)})
    ->Args({6, ceilingSide(6)})
    ->Args({7, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

QString generatedUrl(const SandboxFixture& sandbox, const QString& path) {
    return QString(sandbox.baseAddress()).replace("/pelvo/", path);
}

qint64 bytesUnder(const QString& dir) {
    qint64 total = 0;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        total += QFileInfo(it.next()).size();
    return total;
}

// "bytes-<n>" with n = range(0) MB and the announced length, or "bytes-endless" (no length)
// for -1.
QString bytesName(benchmark::State& state, const char* suffix) {
    return state.range(0) < 0 ? QStringLiteral("bytes-endless%1").arg(suffix)
                              : QStringLiteral("bytes-%1%2").arg(state.range(0) << 20).arg(suffix);
}

// A tile "picture" of range(0) MB through the home page's list downloader.
void BM_Download_TilePicture(benchmark::State& state) {
    QuietHome quiet;
    SandboxFixture sandbox;
    Meter meter;
    struct Done : FilesListDownloaderModelDelegate {
        void modelFinishDownloadFiles(FilesListDownloaderModel*, const QList<FileDO>&) override {
            done = true;
        }
        bool done = false;
    };
    for (auto _ : state) {
        FilesListDownloaderModel list;
        Done done;
        list.setDelegate(&done);
        list.setSavePathString(RootViewController::mainConfigDirectory());
        list.setPicturesOnly(true);
        list.setArrayOfDownloadQueues({FileDO::initWithDictOfMainConfig(
            {{"photo",
              generatedUrl(sandbox, "/pictures/generated/" + bytesName(state, ".png"))}})});
        list.startDownload();
        if (!waitUntil([&] { return done.done; }, 600000)) state.SkipWithError("no end");
    }
    meter.report(state);
    state.counters["kept_MB"] = double(bytesUnder(quiet.home.path())) / (1 << 20);
}
BENCHMARK(BM_Download_TilePicture)->Arg(500)->Arg(-1)->Unit(benchmark::kMillisecond)->Iterations(1);

// A remote picture of range(0) MB through an image view.
void BM_Download_RemotePicture(benchmark::State& state) {
    QuietHome quiet;
    SandboxFixture sandbox;
    Meter meter;
    for (auto _ : state) {
        ui::ImageView view;
        const QString url =
            generatedUrl(sandbox, "/pictures/generated/" + bytesName(state, ".png"));
        netLoading::asynchronousLoadImage(&view, url, MD5::md5(url),
                                          PCFile::fileCacheDir("imageCache"), QImage());
        if (!waitUntil([&] { return !netLoading::fileDownloadModel(&view); }, 600000))
            state.SkipWithError("no end");
    }
    meter.report(state);
    state.counters["kept_MB"] = double(bytesUnder(quiet.home.path())) / (1 << 20);
}
BENCHMARK(BM_Download_RemotePicture)
    ->Arg(500)
    ->Arg(-1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// An "archive" of range(0) MB.
void BM_Download_Archive(benchmark::State& state) {
    QuietHome quiet;
    SandboxFixture sandbox;
    struct Heard : QObject, PCFileDownLoadModelDelegate {
        void modelUnZipSuccsess(PCFileDownLoadModel*, bool, const QString&) override {
            done = true;
        }
        void modelDownloadSuccsess(PCFileDownLoadModel*, bool, const QString&) override {
            done = true;
        }
        bool done = false;
    };
    Meter meter;
    for (auto _ : state) {
        auto model = ZipFileDownloadModel::create(
            generatedUrl(sandbox, "/archives/generated/" + bytesName(state, ".zip")),
            quiet.home.path() + "/Documents/bundles");
        Heard heard;
        model->addDelegate(&heard);
        model->download();
        if (!waitUntil([&] { return heard.done; }, 600000)) state.SkipWithError("no end");
    }
    meter.report(state);
    state.counters["kept_MB"] = double(bytesUnder(quiet.home.path())) / (1 << 20);
}
BENCHMARK(BM_Download_Archive)->Arg(1024)->Arg(-1)->Unit(benchmark::kMillisecond)->Iterations(1);

// The longest the event loop went without running a timer that asks to tick every millisecond:
// what a person feels as the window freezing.
struct StallMeter {
    StallMeter() {
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, [this] { note(); });
        clock.start();
        tick.start(1);
    }
    void note() {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    }
    void restart() {
        last = clock.nsecsElapsed();
        longest = 0;
    }
    double longestMs() const { return double(longest) / 1e6; }
    QElapsedTimer clock;
    QTimer tick;
    qint64 last = 0;
    qint64 longest = 0;
};

// The largest archive the client unpacks (64 MiB in 4,096 files, deflated): the longest stall
// of the event loop from its last byte to the result, and the time that took.
void BM_Unpack_LargestArchiveStall(benchmark::State& state) {
    QuietHome quiet;
    ScriptedServer server;
    static const QByteArray archive = testsupport::largestZip(
        "largest", ZipFileDownloadModel::kMaxEntries, ZipFileDownloadModel::kMaxUnpackedBytes);
    ScriptedServer::Action reply = ScriptedServer::json(archive);
    reply.contentType = "application/zip";
    server.setFallback(reply);
    struct Heard : QObject, PCFileDownLoadModelDelegate {
        void modelReceiveDataWithLength(PCFileDownLoadModel*, qint64 received,
                                        qint64 total) override {
            if (received == total) {
                stalls->restart();
                arrived.start();
            }
        }
        void modelUnZipSuccsess(PCFileDownLoadModel*, bool success, const QString&) override {
            stalls->note();
            unpackMs = double(arrived.nsecsElapsed()) / 1e6;
            ok = success;
            done = true;
        }
        void modelDownloadSuccsess(PCFileDownLoadModel*, bool, const QString&) override {
            done = true;
        }
        StallMeter* stalls = nullptr;
        QElapsedTimer arrived;
        double unpackMs = 0;
        bool ok = false;
        bool done = false;
    };
    StallMeter stalls;
    Heard heard;
    heard.stalls = &stalls;
    for (auto _ : state) {
        auto model = ZipFileDownloadModel::create(server.url("/archives/largest.zip").toString(),
                                                  quiet.home.path() + "/Documents/bundles");
        model->addDelegate(&heard);
        model->download();
        if (!waitUntil([&] { return heard.done; }, 600000)) state.SkipWithError("no end");
    }
    if (!heard.ok) state.SkipWithError("not unpacked");
    state.counters["archive_MB"] = double(archive.size()) / (1 << 20);
    state.counters["unpack_ms"] = heard.unpackMs;
    state.counters["longest_stall_ms"] = stalls.longestMs();
    // The same loop with nothing to do for a second: what the machine itself costs.
    stalls.restart();
    waitUntil([] { return false; }, 1000);
    state.counters["idle_stall_ms"] = stalls.longestMs();
}
BENCHMARK(BM_Unpack_LargestArchiveStall)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
