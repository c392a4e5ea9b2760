#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QUuid>
#include <gtest/gtest.h>

#include "app/download/PCFile.h"
#include "app/download/ZipFileDownloadModel.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Crypto.h"
#include "platform/foundation/DataLock.h"
#include "platform/foundation/DataTask.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/HttpDownload.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Reachability.h"
#include "platform/foundation/RegularFile.h"
#include "platform/foundation/UrlOpener.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Image.h"
#include "sandbox/ArchiveFiles.h"
#include "sandbox/PictureStore.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/Wait.h"
#include "tests/support/Watchdog.h"

#include <QFileInfo>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

ScriptedServer::Action movedTo(const QByteArray& location) {
    auto moved = ScriptedServer::json("", 302);
    moved.headers = "Location: " + location + "\r\n";
    return moved;
}

// A server that sends more than it may, or lies about how much: the transfer stops at the
// ceiling and never hands on a byte past it.
TEST(HttpDownload, aBodyPastItsCeilingFailsWhileItArrives) {
    SandboxFixture sandbox;
    const QString origin = QString(sandbox.baseAddress()).remove("/pelvo/");
    constexpr int kMore = ns::HttpDownload::DataLengthExceedsMaximum;
    const struct {
        const char* path;
        qint64 ceiling;
        int failure; // 0: the whole body arrived
        qint64 delivered;
    } cases[] = {
        {"bytes-1000.png", 1000, 0, 1000},
        {"bytes-1001.png", 1000, kMore, 0},       // announced: refused at the head
        {"bytes-endless.png", 100000, kMore, -1}, // no length: cut at the ceiling
        {"bytes-5000000.png?declare=10000000000", 20000, kMore, 0}, // announces 10 GB
        {"bytes-100.png?declare=1000000", 20000, kMore, 0},         // small, but announces 1 MB
        {"bytes-endless.png?declare=1000", 2000, 0, 1000}, // the announced length frames it
        {"bytes-5000.png?declare=10000", 20000, ns::HttpDownload::NetworkConnectionLost, 5000},
        {"bytes-3000000.png", -1, 0, 3000000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ns::HttpDownload download;
        download.setMaxLength(c.ceiling);
        qint64 delivered = 0;
        std::optional<int> end;
        download.onData = [&](const QByteArray& piece) { delivered += piece.size(); };
        download.onFinished = [&] { end = 0; };
        download.onFailed = [&](int code, const QString&) { end = code; };
        download.start(QUrl(origin + "/pictures/generated/" + c.path));
        ASSERT_TRUE(waitUntil([&] { return end.has_value(); }, 30000));
        EXPECT_EQ(*end, c.failure);
        if (c.delivered >= 0) {
            EXPECT_EQ(delivered, c.delivered);
        }
        if (c.ceiling >= 0) {
            EXPECT_LE(delivered, c.ceiling);
        }
        EXPECT_FALSE(download.isRunning());
    }
}

// A download follows a redirect to its file. A server gone silent, before its head or after
// it, fails at the stall limit, which runs in real time: the deadline's clock stands.
TEST(HttpDownload, aRedirectIsFollowedAndASilentServerFailsAtTheStallLimit) {
    ns::ScopedManualClock clock;
    ScriptedServer server;
    server.setFallback(ScriptedServer::json("the file"));
    constexpr int kStalled = ns::HttpDownload::TimedOut;
    const struct {
        const char* what;
        ScriptedServer::Action answer;
        int end; // 0: the whole body arrived
        QByteArray body;
    } cases[] = {
        {"a redirect", movedTo("/elsewhere"), 0, "the file"},
        {"silence before the head", ScriptedServer::noAnswer(), kStalled, ""},
        {"silence after the head", ScriptedServer::trickle("never sent", 600000), kStalled, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        server.enqueue(c.answer);
        ns::HttpDownload download;
        download.setStallLimit(1000);
        QByteArray body;
        std::optional<int> end;
        download.onData = [&](const QByteArray& piece) { body += piece; };
        download.onFinished = [&] { end = 0; };
        download.onFailed = [&](int code, const QString&) { end = code; };
        download.start(server.url("/f.bin"));
        ASSERT_TRUE(waitUntil([&] { return end.has_value(); }, 20000));
        EXPECT_EQ(*end, c.end);
        EXPECT_EQ(body, c.body);
    }
}

// A small fetch takes a whole 2xx body only, following a redirect over HTTP(S) only; an error
// status, a body past the ceiling or a head past its own ends it empty, and nothing holds it
// past its time-out.
TEST(DataTask, onlyAWholeSuccessfulBodyArrivesAndNothingOutlastsTheTimeOut) {
    ns::ScopedManualClock clock;
    ScriptedServer server;
    server.setFallback(ScriptedServer::json("moved here"));
    const auto moved = movedTo("/elsewhere"), toAFile = movedTo("file:///etc/hostname");
    struct Case {
        const char* what;
        ScriptedServer::Action answer;
        QByteArray body; // what arrives; empty: a failure
        bool byTimeOut;
    };
    QList<Case> cases = {
        {"a body", ScriptedServer::json("picture"), "picture", false},
        {"a redirect", moved, "moved here", false},
        {"a redirect to a local file", toAFile, "", false},
        {"not found", ScriptedServer::html("gone", 404), "", false},
        {"past the ceiling", ScriptedServer::json(QByteArray(1001, 'x')), "", false},
        {"silence", ScriptedServer::noAnswer(), "", true},
    };
    for (const auto& head : ScriptedServer::endlessHeads())
        cases.append({head.what, head.answer, "", !head.bounded});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        server.enqueue(c.answer);
        const qsizetype asked = server.requests().size();
        const qint64 flooded = server.floodWritten();
        std::optional<bool> ok;
        QByteArray body;
        ns::DataTask::fetch(
            server.url("/p.png"), nullptr,
            [&](bool done, const QByteArray& got) { ok = done, body = got; }, 10000, 1000);
        if (c.byTimeOut) {
            ASSERT_TRUE(server.waitForRequests(int(asked) + 1));
            if (c.answer.kind == ScriptedServer::Action::Endless) {
                ASSERT_TRUE(
                    waitUntil([&] { return server.floodWritten() > flooded + (16 << 20); }, 20000));
            }
            EXPECT_FALSE(ok.has_value());
            clock.clock.advance(10000);
        }
        ASSERT_TRUE(waitUntil([&] { return ok.has_value(); }));
        EXPECT_EQ(*ok, !c.body.isEmpty());
        EXPECT_EQ(body, c.body);
    }
}

TEST(Values, textToIntegerTakesTheLeadingDigits) {
    const std::pair<const char*, qint64> texts[] = {
        {"12", 12}, {"12abc", 12}, {"  -7x", -7},
        {"+3", 3},  {"abc", 0},    {"", 0},
        {"1.9", 1}, {"0009", 9},   {"99999999999999999999", std::numeric_limits<qint64>::max()}};
    for (const auto& [in, out] : texts)
        EXPECT_EQ(ns::Values::integerValue(QString(in)), out) << in;
    const std::pair<QVariant, qint64> others[] = {{12.9, 12},
                                                  {-3.2, -3},
                                                  {true, 1},
                                                  {qlonglong(1733472000123), 1733472000123},
                                                  {QVariant(), 0},
                                                  {QVariantList{1}, 0},
                                                  {1e300, std::numeric_limits<qint64>::max()},
                                                  {std::nan(""), 0}};
    for (const auto& [in, out] : others)
        EXPECT_EQ(ns::Values::integerValue(in), out) << in.toString().toStdString();
}

TEST(Values, textToBoolFollowsTheFirstSignificantCharacter) {
    for (const char* yes : {"YES", "yes", "true", "T", "1", "007", " 9", "-1"})
        EXPECT_TRUE(ns::Values::boolValue(QString(yes))) << yes;
    for (const char* no : {"NO", "no", "0", "000", "", "false", "x"})
        EXPECT_FALSE(ns::Values::boolValue(QString(no))) << no;
    const std::pair<QVariant, bool> others[] = {{true, true},
                                                {false, false},
                                                {0, false},
                                                {2, true},
                                                {0.5, true},
                                                {QVariant(), false},
                                                {QVariantMap{{"a", 1}}, false}};
    for (const auto& [in, out] : others)
        EXPECT_EQ(ns::Values::boolValue(in), out) << in.toString().toStdString();
}

TEST(Values, hugeAndOddNumbersBecomeTextWithoutOverflow) {
    // Out of the integer range: a text that reads back as the same number.
    for (const double d : {5.55556e76, -1e300, 1e15, 9.3e18})
        EXPECT_EQ(ns::Values::stringValue(d).toDouble(), d);
    const std::pair<QVariant, QString> cases[] = {
        {12.0, "12"},
        {12.5, "12.5"},
        {qlonglong(-7), "-7"},
        {true, "1"},
        {QString("x"), "x"},
        {QVariantList{}, ""},
        // Fractions as a server writes them, never with 17 digits.
        {33.3, "33.3"},
        {9.9, "9.9"},
        {12.3, "12.3"},
        {-0.1, "-0.1"},
        {0.1 + 0.2, "0.30000000000000004"},
        {float(2.5f), "2.5"},
        {123456789.125, "123456789.125"},
        {0.0001, "0.0001"},
        {1e16 + 2, "10000000000000002"},
        {1e20, "1e+20"},
        {2.5e-7, "2.5e-07"},
        {std::numeric_limits<double>::infinity(), "inf"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(ns::Values::stringValue(in), out) << out.toStdString();
}

// What a hostile server sends in place of a count, and what every screen is then given.
TEST(Values, quantitiesStayFiniteAndBounded) {
    constexpr qint64 limit = ns::Values::kQuantityLimit;
    constexpr double inf = std::numeric_limits<double>::infinity();
    const struct {
        QVariant in;
        double quantity;
        qint64 whole;
    } cases[] = {
        {qlonglong(1048576), 1048576, 1048576},
        {262144.5, 262144.5, 262144},
        {QString("33.3"), 33.3, 33},
        {std::numeric_limits<qint64>::max(), double(limit), limit},
        {std::numeric_limits<qint64>::min(), -double(limit), -limit},
        {QString("9223372036854775807"), double(limit), limit},
        {QString("-9223372036854775808"), -double(limit), -limit},
        {QString(400, u'9'), 0, limit}, // too long for a double: unreadable
        {qlonglong(-1), -1, -1},
        {1e300, double(limit), limit},
        {-1e300, -double(limit), -limit},
        {inf, double(limit), limit},
        {-inf, -double(limit), -limit},
        {std::nan(""), 0, 0},
        {QString("NaN"), 0, 0},
        {QString("inf"), 0, 0},
        {QString("12abc"), 12, 12},
        {QString("  -7.5kb"), -7.5, -7},
        {QString("abc"), 0, 0},
        {QVariantList{1, 2}, 0, 0},
        {QVariantMap{{"amount", 5}}, 0, 0},
        {true, 1, 1},
        {QVariant(), 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in.toString().left(40).toStdString());
        EXPECT_EQ(ns::Values::quantityValue(c.in), c.quantity);
        EXPECT_EQ(ns::Values::wholeQuantityValue(c.in), c.whole);
    }
}

TEST(NotificationCenter, deliversByNameAndObjectAndForgetsDeadObservers) {
    auto& center = ns::NotificationCenter::defaultCenter();
    QObject sender;
    int any = 0;
    int fromSender = 0;
    auto observer = std::make_unique<QObject>();
    center.addObserver(observer.get(), "Ping", nullptr, [&](const ns::Notification&) { ++any; });
    center.addObserver(observer.get(), "Ping", &sender,
                       [&](const ns::Notification&) { ++fromSender; });
    center.postNotificationName("Ping");
    center.postNotificationName("Ping", &sender);
    center.postNotificationName("Other");
    EXPECT_EQ(any, 2);
    EXPECT_EQ(fromSender, 1);
    observer.reset();
    center.postNotificationName("Ping", &sender);
    EXPECT_EQ(any, 2);
    EXPECT_EQ(center.observerCount("Ping"), 0);

    // An observer may remove itself or others while being notified.
    QObject a, b;
    int calls = 0;
    center.addObserver(&a, "Once", nullptr, [&](const ns::Notification&) {
        ++calls;
        center.removeObserver(&a);
        center.removeObserver(&b, "Once");
    });
    center.addObserver(&b, "Once", nullptr, [&](const ns::Notification&) { ++calls; });
    center.postNotificationName("Once");
    center.postNotificationName("Once");
    EXPECT_EQ(calls, 1);
}

TEST(Clock, manualClockFiresDueCallsInTimeOrder) {
    ns::ScopedManualClock scoped;
    QString order;
    ns::performAfter(300, nullptr, [&] { order += "c"; });
    ns::performAfter(100, nullptr, [&] {
        order += "a";
        ns::performAfter(50, nullptr, [&] { order += "b"; }); // due at 150, inside the same advance
    });
    scoped.clock.advance(99);
    EXPECT_EQ(order, "");
    scoped.clock.advance(201);
    EXPECT_EQ(order, "abc");
    EXPECT_EQ(scoped.clock.nowMs(), 300);
}

TEST(Clock, callsBoundToADestroyedContextNeverRun) {
    ns::ScopedManualClock scoped;
    int calls = 0;
    auto context = std::make_unique<QObject>();
    ns::performAfter(10, context.get(), [&] { ++calls; });
    context.reset();
    scoped.clock.advance(20);
    EXPECT_EQ(calls, 0);
}

TEST(Clock, delayedCallRestartsCancelsAndRepeats) {
    ns::ScopedManualClock scoped;
    int calls = 0;
    {
        ns::DelayedCall call;
        call.start(100, nullptr, [&] { ++calls; });
        scoped.clock.advance(50);
        call.start(100, nullptr, [&] { ++calls; }); // replaces the first
        scoped.clock.advance(60);
        EXPECT_EQ(calls, 0);
        scoped.clock.advance(40);
        EXPECT_EQ(calls, 1);
        call.start(
            10, nullptr, [&] { ++calls; }, true);
        scoped.clock.advance(35);
        EXPECT_EQ(calls, 4);
    } // destroyed: nothing more
    scoped.clock.advance(100);
    EXPECT_EQ(calls, 4);
    EXPECT_EQ(scoped.clock.pendingCount(), 0);
}

// A call armed on a clock that has gone never reaches into the clock that replaced it, even
// one made at the same address (tests make manual clocks in loops).
TEST(Clock, aCallOfAGoneClockLeavesTheNextClocksTimersAlone) {
    ns::DelayedCall stale;
    int calls = 0;
    std::optional<ns::ScopedManualClock> scoped;
    scoped.emplace();
    stale.start(10, nullptr, [] {});
    scoped.reset();
    scoped.emplace(); // the same storage: the same address
    ns::performAfter(10, nullptr, [&] { ++calls; });
    stale.cancel();
    scoped->clock.advance(10);
    EXPECT_EQ(calls, 1);
}

TEST(Clock, systemTimersGoWithTheApplicationAndNeverWrapAround) {
    ns::SystemClock clock;
    QObject context;
    const QList<QTimer*> before = qApp->findChildren<QTimer*>();
    const struct {
        qint64 delayMs;
        int atLeastMs;
    } cases[] = {{4294967396, 2000000000}, {2147483648, 2000000000}, {-5, 0}, {100, 50}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.delayMs);
        const ns::Clock::TimerId id = clock.schedule(c.delayMs, &context, [] {});
        // Owned by the application: a quit while it is pending frees it.
        QList<QTimer*> added = qApp->findChildren<QTimer*>();
        added.removeIf([&](QTimer* t) { return before.contains(t); });
        ASSERT_EQ(added.size(), 1);
        QTimer* timer = added.first();
        EXPECT_GE(timer->remainingTime(), c.atLeastMs);
        clock.cancel(id);
        delete timer;
    }
}

TEST(PropertyList, roundTripsWhatTheStoresKeepInAnOwnerOnlyFile) {
    const QVariantMap value = {
        {"text", QString::fromUtf8("中文 & <xml>")},
        {"yes", true},
        {"no", false},
        {"count", qlonglong(42)},
        {"negative", -3.0},
        {"real", 2.5},
        {"list", QVariantList{QString("a"), qlonglong(1)}},
        {"nested", QVariantMap{{"k", QString("v")}}},
        {"data", QByteArray("\x00\x01\xff", 3)},
    };
    EXPECT_EQ(ns::PropertyList::fromXml(ns::PropertyList::toXml(value)).toMap(), value);
    QTemporaryDir dir;
    const QString path = dir.path() + "/x.plist";
    ASSERT_TRUE(ns::PropertyList::writeFile(path, value));
    EXPECT_EQ(QFile::permissions(path) & (QFile::ReadOther | QFile::ReadGroup), 0);
    EXPECT_EQ(ns::PropertyList::readFile(path).toMap(), value);
    EXPECT_FALSE(ns::PropertyList::writeFile(dir.path() + "/missing/dir/x.plist", value));
    // A value the reader would refuse is never written over a good file.
    QVariantMap huge;
    for (int i = 0; i < 30000; ++i)
        huge.insert(QString::number(i), true);
    EXPECT_FALSE(ns::PropertyList::writeFile(path, huge));
    EXPECT_EQ(ns::PropertyList::readFile(path).toMap(), value);
}

// n arrays, one inside the other, around a string.
QByteArray nestedArrays(int n) {
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">";
    xml.reserve(n * 16 + 128);
    xml += QByteArray("<array>").repeated(n) + "<string>x</string>";
    return xml + QByteArray("</array>").repeated(n) + "</plist>";
}

// A deep branch of dictionaries beside a shallow key.
QByteArray nestedDicts(int n) {
    return "<plist><dict><key>ok</key><true/><key>deep</key>" +
           QByteArray("<dict><key>k</key>").repeated(n) + "<true/>" +
           QByteArray("</dict>").repeated(n) + "</dict></plist>";
}

// A binary list of arrays: arrays[i] holds the objects its indexes name; the index
// arrays.size() is one string "x" that every array may share.
QByteArray binaryArrays(const std::vector<std::vector<int>>& arrays) {
    auto be = [](QByteArray& out, quint64 v, int n) {
        for (int i = n - 1; i >= 0; --i)
            out += char((v >> (8 * i)) & 0xff);
    };
    QByteArray out = "bplist00";
    QByteArray table;
    for (const auto& items : arrays) {
        be(table, quint64(out.size()), 4);
        out += char(0xAF);
        out += char(0x12);
        be(out, items.size(), 4);
        for (int i : items)
            be(out, quint64(i), 4);
    }
    be(table, quint64(out.size()), 4);
    out += "\x51x";
    const quint64 tableAt = quint64(out.size());
    out += table;
    out += QByteArray(6, '\0') + char(4) + char(4);
    be(out, arrays.size() + 1, 8);
    be(out, 0, 8);
    be(out, tableAt, 8);
    return out;
}

std::vector<std::vector<int>> binaryChain(int n, int width = 1) {
    auto arrays = std::vector<std::vector<int>>(size_t(n));
    for (int i = 0; i < n; ++i)
        arrays[size_t(i)] = std::vector<int>(size_t(width), i + 1);
    return arrays;
}

QByteArray manyKeys(int n) {
    QByteArray xml = "<plist><dict>";
    for (int i = 0; i < n; ++i)
        xml += "<key>k" + QByteArray::number(i) + "</key><true/>";
    return xml + "</dict></plist>";
}

TEST(PropertyList, whatWouldExhaustTheReaderIsRefusedBeforeItIsBuilt) {
    const struct {
        const char* what;
        QByteArray bytes;
        bool readable;
    } cases[] = {
        {"not a plist", "not a plist", false},
        {"nothing", "", false},
        {"1 array", nestedArrays(1), true},
        {"100 nested arrays", nestedArrays(100), true},
        {"129 nested arrays", nestedArrays(129), false},
        {"50,000 nested arrays", nestedArrays(50000), false},
        {"200,000 nested arrays (3 MB)", nestedArrays(200000), false},
        {"300 nested dictionaries beside a shallow key", nestedDicts(300), false},
        {"9,000 keys", manyKeys(9000), true},
        {"30,000 keys", manyKeys(30000), false},
        {"binary, three deep", binaryArrays(binaryChain(3)), true},
        {"binary, 1,000 deep", binaryArrays(binaryChain(1000)), false},
        {"binary, an array holding itself", binaryArrays({{0}}), false},
        {"binary, 10 doublings", binaryArrays(binaryChain(10, 2)), true},
        {"binary, 40 doublings", binaryArrays(binaryChain(40, 2)), false},
        {"binary, an item past the objects", binaryArrays({{7}}), false},
        {"binary, cut short", binaryArrays(binaryChain(3)).chopped(9), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ns::PropertyList::fromData(c.bytes).isValid(), c.readable);
    }
    const QVariant twoDeep = QVariantList{QVariantList{QString("x")}};
    EXPECT_EQ(ns::PropertyList::fromData(binaryArrays(binaryChain(2))), twoDeep);
    EXPECT_EQ(ns::PropertyList::fromXml(nestedArrays(2)), twoDeep);
    QVariant inner = ns::PropertyList::fromXml(nestedArrays(100));
    for (int i = 0; i < 100; ++i)
        inner = inner.toList().value(0);
    EXPECT_EQ(inner.toString(), "x");
}

TEST(PropertyList, measuringSkipsWhatTheReaderSkips) {
    const struct {
        QByteArray xml;
        bool wellFormed;
        int depth;
        qint64 objects;
    } cases[] = {
        {"<plist><array><!-- </array> --><array><string>x</string></array></array></plist>", true,
         4, 4},
        {"<plist><array><?x a=\"?></array>\"?><array/></array></plist>", true, 3, 3},
        {"<!DOCTYPE p [ \"]>\" </array> ]><plist><array/></plist>", true, 2, 2},
        {"<plist><string><![CDATA[</string>]]></string></plist>", true, 2, 2},
        {"<plist><!x></plist>", false, 1, 1},
        {"<plist></array></array><array>", false, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xml.toStdString());
        const ns::PropertyList::Shape shape = ns::PropertyList::measure(c.xml);
        EXPECT_EQ(shape.wellFormed, c.wellFormed);
        EXPECT_EQ(shape.depth, c.depth);
        EXPECT_EQ(shape.objects, c.objects);
        // The reader agrees wherever it reads at all.
        EXPECT_EQ(ns::PropertyList::fromXml(c.xml).isValid(), c.wellFormed);
    }
}

TEST(UserDefaults, aFileItCannotTakeIsKeptAsideAndTheStoreStartsEmpty) {
    const std::pair<const char*, QByteArray> cases[] = {
        {"damaged", "not a plist"},
        {"too deep", nestedArrays(50000)},
        {"too many keys", manyKeys(30000)},
        {"too big", nestedArrays(200000)},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        QTemporaryDir dir;
        const QString path = dir.path() + "/tavrix.plist";
        ASSERT_TRUE(writeBytes(path, bytes));
        EXPECT_FALSE(ns::PropertyList::readFile(path).isValid());
        ns::UserDefaults store(path);
        EXPECT_TRUE(store.dictionaryRepresentation().isEmpty());
        QFile aside(store.refusedPath());
        ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
        EXPECT_EQ(aside.readAll(), bytes);
        store.setBool(true, "is_auto_login");
        ASSERT_TRUE(store.synchronize());
        EXPECT_TRUE(ns::UserDefaults(path).boolForKey("is_auto_login"));
    }
}

// Anything but a plain file in place of one of the client's own files (a pipe, a socket, a
// folder with something in it, a link to a file elsewhere) is never read, followed or waited on,
// and the client's write or open puts a plain file of its own there.
TEST(LocalFiles, anythingButAPlainFileInPlaceOfOneOfTheClientsIsNeverReadAndIsReplaced) {
    QTemporaryDir home, outside;
    const QString previousHome = ns::Directories::home();
    ns::Directories::setHomeOverride(home.path());
    const QString elsewhere = outside.filePath("elsewhere.plist");
    const QByteArray elsewhereBytes = ns::PropertyList::toXml(QVariantMap{{"is_auto_login", true}});
    ASSERT_TRUE(writeBytes(elsewhere, elsewhereBytes));
    const auto makeSocket = [](const QByteArray& at) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (size_t(at.size()) >= sizeof(address.sun_path)) return false;
        std::memcpy(address.sun_path, at.constData(), size_t(at.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool bound =
            fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        if (fd >= 0) ::close(fd);
        return bound;
    };
    const struct {
        const char* what;
        std::function<bool(const QByteArray& at)> make;
    } junk[] = {
        {"a pipe", [](const QByteArray& at) { return ::mkfifo(at.constData(), 0600) == 0; }},
        {"a socket", makeSocket},
        {"a folder",
         [](const QByteArray& at) {
             return ::mkdir(at.constData(), 0700) == 0 &&
                    writeBytes(QFile::decodeName(at + "/inside"), "x");
         }},
        {"a link to a file elsewhere",
         [&](const QByteArray& at) {
             return ::symlink(QFile::encodeName(elsewhere).constData(), at.constData()) == 0;
         }},
    };
    enum Reader { Settings, List, Picture, DeviceId, Lock, PartFile };
    const struct {
        const char* name;
        Reader reader;
    } files[] = {
        {"Library/Preferences/tavrix.plist", Settings},
        {"Library/Caches/AD.xml", List},
        {"Library/Caches/MainInfoConfList.xml", List},
        {"Library/Caches/imageCache/0cc175b9c0f1b6a831c399e269772661", Picture},
        {"Library/device-id", DeviceId},
        {"Library/tavrix.lock", Lock},
        {"Library/Caches/imageCache/pic.png.tmp", PartFile},
    };
    const QByteArray png = sandbox::PictureStore::blackPng(4, 4);
    for (const auto& j : junk)
        for (const auto& c : files) {
            SCOPED_TRACE(std::string(j.what) + " at " + c.name);
            const QString path = home.filePath(c.name);
            ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
            ASSERT_TRUE(j.make(QFile::encodeName(path)));
            QVariant read = QVariant(1);
            QImage picture;
            std::unique_ptr<ns::UserDefaults> store;
            QString id;
            ns::DataLock lock(path);
            auto locked = ns::DataLock::Result::Failed;
            ns::PartFile part(path.chopped(4));
            bool appended = false;
            ASSERT_TRUE(testsupport::endsInTime(
                [&] {
                    if (c.reader == Settings) store = std::make_unique<ns::UserDefaults>(path);
                    if (c.reader == List) read = ns::PropertyList::readFile(path);
                    if (c.reader == Picture) picture = ui::decodePicture(path);
                    if (c.reader == DeviceId) id = ns::DeviceInfo::identifierForVendor();
                    if (c.reader == Lock) locked = lock.tryLock();
                    if (c.reader == PartFile) appended = part.open(true) && part.write("abc");
                },
                {path}));
            if (c.reader == List) {
                EXPECT_FALSE(read.isValid());
                ASSERT_TRUE(ns::PropertyList::writeFile(path, QVariantMap{{"result", 0}}));
                EXPECT_EQ(ns::PropertyList::readFile(path), QVariant(QVariantMap{{"result", 0}}));
            }
            if (c.reader == Picture) {
                EXPECT_TRUE(picture.isNull());
                ASSERT_TRUE(ns::replaceFile(path, png));
                EXPECT_EQ(ui::decodePicture(path).size(), QSize(4, 4));
            }
            if (c.reader == Settings) {
                EXPECT_TRUE(store->dictionaryRepresentation().isEmpty());
                EXPECT_FALSE(QFileInfo::exists(store->refusedPath()));
                store->setBool(false, "is_auto_login");
                ASSERT_TRUE(store->synchronize());
                EXPECT_EQ(ns::UserDefaults(path).objectForKey("is_auto_login"), QVariant(false));
            }
            if (c.reader == DeviceId) {
                EXPECT_FALSE(QUuid::fromString(id).isNull());
                EXPECT_EQ(ns::DeviceInfo::identifierForVendor(), id); // kept from now on
            }
            if (c.reader == Lock) {
                EXPECT_EQ(locked, ns::DataLock::Result::Taken) << lock.error().toStdString();
                EXPECT_EQ(ns::DataLock(path).tryLock(), ns::DataLock::Result::Held);
            }
            if (c.reader == PartFile) {
                EXPECT_TRUE(appended);
                part.close();
                EXPECT_EQ(part.partialSize(), 3);
            }
            const QFileInfo now(path);
            EXPECT_TRUE(now.isFile() && !now.isSymLink());
            EXPECT_EQ(now.permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);
            QFile untouched(elsewhere);
            ASSERT_TRUE(untouched.open(QIODevice::ReadOnly));
            EXPECT_EQ(untouched.readAll(), elsewhereBytes);
            ASSERT_TRUE(QFile::remove(path));
        }
    ns::Directories::setHomeOverride(previousHome);
}

TEST(Directories, whatAStartFindsInTheTemporaryFolderGoesWhateverItIs) {
    QTemporaryDir home, outside;
    const QString previousHome = ns::Directories::home();
    ns::Directories::setHomeOverride(home.path());
    const QByteArray tmp = QFile::encodeName(ns::Directories::temporary());
    const QByteArray kept = QFile::encodeName(outside.filePath("kept.txt"));
    ASSERT_TRUE(writeBytes(outside.filePath("kept.txt"), "mine"));
    const auto makeFile = [](const QByteArray& path) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT, 0600);
        return fd >= 0 && ::close(fd) == 0;
    };
    const struct {
        const char* what;
        std::function<bool(const QByteArray& at)> make;
    } cases[] = {
        {"a plain file", makeFile},
        {"a name that is not UTF-8",
         [&](const QByteArray& at) {
             return ::mkdir(at.constData(), 0700) == 0 && makeFile(at + "/\xd5\xcb\xff.txt");
         }},
        {"2000 nested folders",
         [&](const QByteArray& at) {
             QByteArray path = at;
             for (int i = 0; i < 2000; ++i) {
                 // Made one level at a time: the whole path is past what a call may take.
                 if (::mkdir(path.constData(), 0700) != 0 || ::chdir(path.constData()) != 0)
                     return false;
                 path = "d";
             }
             const bool made = makeFile("bottom");
             return ::chdir("/") == 0 && made;
         }},
        {"a folder nobody may read",
         [&](const QByteArray& at) {
             return ::mkdir(at.constData(), 0700) == 0 && makeFile(at + "/f") &&
                    ::chmod(at.constData(), 0) == 0;
         }},
        {"a link to a file elsewhere",
         [&](const QByteArray& at) { return ::symlink(kept.constData(), at.constData()) == 0; }},
        {"a pipe", [](const QByteArray& at) { return ::mkfifo(at.constData(), 0600) == 0; }},
    };
    const QString cwd = QDir::currentPath();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray at = tmp + "/stale";
        ASSERT_TRUE(c.make(at));
        ASSERT_TRUE(QDir::setCurrent(cwd));
        EXPECT_TRUE(ns::Directories::emptyTemporary());
        EXPECT_EQ(
            QDir(ns::Directories::temporary())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                .size(),
            0);
        // The same through removeTree on a path of its own.
        ASSERT_TRUE(c.make(at));
        ASSERT_TRUE(QDir::setCurrent(cwd));
        EXPECT_TRUE(ns::Directories::removeTree(QFile::decodeName(at)));
        struct stat st;
        EXPECT_NE(::lstat(at.constData(), &st), 0);
    }
    QFile survivor(outside.filePath("kept.txt"));
    ASSERT_TRUE(survivor.open(QIODevice::ReadOnly));
    EXPECT_EQ(survivor.readAll(), "mine");
    ns::Directories::setHomeOverride(previousHome);
}

// Every file under dir, folders and links included, as paths below it, but those below `except`.
QStringList treeUnder(const QString& dir, const QString& except) {
    QStringList found;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!(path + '/').startsWith(except + '/')) found << QDir(dir).relativeFilePath(path);
    }
    found.sort();
    return found;
}

// A client killed while it writes one of its files (here by the file-size limit, the moment it
// writes past 16 bytes) leaves its copy in tmp/ only, never beside the client's files, and the
// next start's emptying of tmp/ takes it away.
TEST(Directories, whatAWriteCutShortLeavesGoesAtTheNextStart) {
    QTemporaryDir home;
    const QString previousHome = ns::Directories::home();
    ns::Directories::setHomeOverride(home.path());
    const QString tmp = ns::Directories::temporary();
    const QString archive = ns::Directories::documents() + "/good.zip";
    ASSERT_TRUE(ns::replaceFile(archive, sandbox::ArchiveFiles::file("good.zip")));
    const QString bundles = home.filePath("Documents/bundles");
    const QString tiles = PCFile::fileCacheDir("MainInfoConfig");
    ASSERT_TRUE(QDir().mkpath(bundles) && QDir().mkpath(tiles));
    ns::UserDefaults settings(ns::Directories::preferences() + "/tavrix.plist");
    settings.setObject(QStringLiteral("a saved password"), "password");
    ASSERT_TRUE(settings.synchronize());
    const struct {
        const char* what;
        std::function<void()> write;
    } cases[] = {
        {"the settings",
         [&] {
             settings.setObject(QString(4000, 'p'), "password");
             settings.synchronize();
         }},
        {"a cached picture",
         [&] { PCFile::fileWriteAtPath(tiles + "/tile_family.png", QByteArray(4000, 'x')); }},
        {"an archive unpacked", [&] { ZipFileDownloadModel::unZipFile(archive, bundles); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string before = treeUnder(home.path(), tmp).join(' ').toStdString();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const rlimit fileSize{16, 16}, core{0, 0};
            ::setrlimit(RLIMIT_CORE, &core);
            ::signal(SIGXFSZ, SIG_DFL);
            ::setrlimit(RLIMIT_FSIZE, &fileSize);
            c.write();
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
        EXPECT_EQ(treeUnder(home.path(), tmp).join(' ').toStdString(), before);
        EXPECT_FALSE(QDir(tmp).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        EXPECT_TRUE(ns::Directories::emptyTemporary());
        EXPECT_TRUE(QDir(tmp).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }
    EXPECT_EQ(ns::UserDefaults(settings.path()).stringForKey("password"), "a saved password");
    ns::Directories::setHomeOverride(previousHome);
}

// What the client reads of the user's data and the desktop (address book, association lists,
// settings) is read only as a plain file under its ceiling; a pipe is never waited on.
TEST(RegularFile, OnlyAPlainFileUnderItsCeilingIsRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath("f");
    const QByteArray at = QFile::encodeName(path);
    const struct {
        const char* what;
        std::function<bool()> make;
        std::optional<QByteArray> read;
    } cases[] = {
        {"missing", [] { return true; }, std::nullopt},
        {"empty", [&] { return writeBytes(path, ""); }, QByteArray()},
        {"at its ceiling", [&] { return writeBytes(path, "12345678"); }, QByteArray("12345678")},
        {"one byte over", [&] { return writeBytes(path, "123456789"); }, std::nullopt},
        {"a folder", [&] { return ::mkdir(at.constData(), 0700) == 0; }, std::nullopt},
        {"a pipe", [&] { return ::mkfifo(at.constData(), 0600) == 0; }, std::nullopt},
        {"a link to a plain file",
         [&] {
             return writeBytes(dir.filePath("g"), "ok") &&
                    ::symlink(QFile::encodeName(dir.filePath("g")).constData(), at.constData()) ==
                        0;
         },
         QByteArray("ok")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(c.make());
        EXPECT_EQ(ns::readRegularFile(path, 8), c.read);
        ::unlink(at.constData());
        ::rmdir(at.constData());
    }
}

TEST(PropertyList, stringsHoldingNulBytesAreReadNotFatal) {
    // The library's string getter aborts on these; every start would then abort too.
    EXPECT_EQ(ns::PropertyList::fromXml(QByteArray("<plist><string>a\0b</string></plist>", 35)),
              QVariant(QString("a")));
    EXPECT_EQ(ns::PropertyList::fromXml(
                  QByteArray("<plist><dict><key>k</key><string>\0</string></dict></plist>", 59)),
              QVariant(QVariantMap{{"k", QString("")}}));
}

TEST(Crypto, md5AndAesAgreeWithKnownValues) {
    EXPECT_EQ(ns::Crypto::md5("").toHex(), "d41d8cd98f00b204e9800998ecf8427e");
    const QByteArray plain = QByteArray::fromHex("00112233445566778899aabbccddeeff");
    // FIPS-197 example blocks; each is followed by a full block of padding.
    const struct {
        const char* name;
        decltype(&ns::Crypto::aes128EcbEncrypt) encrypt;
        decltype(&ns::Crypto::aes128EcbDecrypt) decrypt;
        QByteArray key;
        QByteArray firstBlock;
    } cases[] = {
        {"AES-128", ns::Crypto::aes128EcbEncrypt, ns::Crypto::aes128EcbDecrypt,
         QByteArray::fromHex("000102030405060708090a0b0c0d0e0f"),
         "69c4e0d86a7b0430d8cdb78070b4c55a"},
        {"AES-256", ns::Crypto::aes256EcbEncrypt, ns::Crypto::aes256EcbDecrypt,
         QByteArray::fromHex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f"),
         "8ea2b7ca516745bfeafc49904b496089"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<QByteArray> cipher = c.encrypt(c.key, plain);
        ASSERT_TRUE(cipher);
        EXPECT_EQ(cipher->left(16).toHex(), c.firstBlock);
        EXPECT_EQ(cipher->size(), 32);
        EXPECT_EQ(c.decrypt(c.key, *cipher), plain);
        // An empty text is a success that reads back empty, not a failure.
        const std::optional<QByteArray> empty = c.encrypt(c.key, "");
        ASSERT_TRUE(empty);
        EXPECT_EQ(empty->size(), 16);
        EXPECT_EQ(c.decrypt(c.key, *empty), QByteArray());
        // Ragged, missing or wrongly keyed cipher text fails.
        EXPECT_FALSE(c.decrypt(c.key, cipher->left(20)));
        EXPECT_FALSE(c.decrypt(c.key, QByteArray()));
        EXPECT_FALSE(c.decrypt(QByteArray(32, 'x'), *cipher));
    }
}

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

TEST(UrlOpener, schemeHandlersAreFoundInDesktopEntriesAndAssociationLists) {
    QTemporaryDir data;
    QTemporaryDir config;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    qputenv("XDG_DATA_DIRS", data.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QDir().mkpath(data.path() + "/applications");
    const QUrl talk("talkapp://x"), other("otherapp://y");
    // A pipe in place of the association list is passed over, never waited on.
    const QByteArray list = QFile::encodeName(config.path() + "/mimeapps.list");
    ASSERT_EQ(::mkfifo(list.constData(), 0600), 0);
    EXPECT_FALSE(ns::UrlOpener::canOpenURL(talk));
    ::unlink(list.constData());
    // Nothing on the desktop takes it: refused here, not handed to the opener (which would
    // report the start of a helper as success).
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("talkapp", &catcher, "open");
    EXPECT_FALSE(ns::UrlOpener::openURL(talk));
    QDesktopServices::unsetUrlHandler("talkapp");
    EXPECT_TRUE(catcher.opened.isEmpty());
    ASSERT_TRUE(
        writeBytes(data.path() + "/applications/talk.desktop",
                   "[Desktop Entry]\nName=Talk\nMimeType=text/plain;x-scheme-handler/talkapp;\n"));
    EXPECT_TRUE(ns::UrlOpener::canOpenURL(talk));
    EXPECT_FALSE(ns::UrlOpener::canOpenURL(other));
    ASSERT_TRUE(writeBytes(config.path() + "/mimeapps.list",
                           "[Default Applications]\nx-scheme-handler/otherapp=other.desktop\n"));
    EXPECT_TRUE(ns::UrlOpener::canOpenURL(other));
    EXPECT_TRUE(ns::UrlOpener::canOpenURL(QUrl("https://example.org")));
    EXPECT_FALSE(ns::UrlOpener::canOpenURL(QUrl("no-scheme")));
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_DATA_DIRS");
    qunsetenv("XDG_CONFIG_HOME");
}

using ns::Reachability;
using Medium = Reachability::Medium;

// Leaves the process-wide object as detection would have it.
struct ReachabilityTest : testing::Test {
    void TearDown() override {
        Reachability::shared().setMediumOverride(std::nullopt);
        qunsetenv("TAVRIX_NETWORK");
    }
};

TEST_F(ReachabilityTest, EnvironmentChoosesTheMedium) {
    const struct {
        const char* value;
        Medium medium;
    } cases[] = {{"wifi", Medium::WiFi},
                 {"cellular", Medium::Cellular},
                 {"none", Medium::None},
                 {" Cellular ", Medium::Cellular}};
    for (const auto& c : cases) {
        qputenv("TAVRIX_NETWORK", c.value);
        EXPECT_EQ(Reachability::shared().medium(), c.medium) << c.value;
    }
}

TEST_F(ReachabilityTest, OverrideBeatsTheEnvironmentAndSignalsOnlyRealChanges) {
    qputenv("TAVRIX_NETWORK", "wifi");
    Reachability& r = Reachability::shared();
    r.startWatching();
    QSignalSpy spy(&r, &Reachability::changed);
    r.setMediumOverride(Medium::WiFi); // same as before: no change
    EXPECT_EQ(spy.count(), 0);
    r.setMediumOverride(Medium::None);
    EXPECT_EQ(r.medium(), Medium::None);
    EXPECT_EQ(spy.count(), 1);
    r.setMediumOverride(std::nullopt); // back to the environment's "wifi"
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(r.medium(), Medium::WiFi);
    r.stopWatching();
}

TEST_F(ReachabilityTest, PollNoticesEnvironmentChangesWhileWatched) {
    ns::ScopedManualClock clock;
    qputenv("TAVRIX_NETWORK", "wifi");
    Reachability& r = Reachability::shared();
    r.startWatching();
    QSignalSpy spy(&r, &Reachability::changed);
    qputenv("TAVRIX_NETWORK", "cellular");
    clock.clock.advance(10000);
    EXPECT_EQ(spy.count(), 1);
    r.stopWatching();
    qputenv("TAVRIX_NETWORK", "none");
    clock.clock.advance(10000);
    EXPECT_EQ(spy.count(), 1); // nobody watches: no polling
    EXPECT_EQ(clock.clock.pendingCount(), 0);
}

} // namespace

#include "foundation_test.moc"
