// Round trip of one form POST with a JSON reply to a loopback server: through HTTPRequest
// and through a bare curl transfer doing the same work, so the layer's own cost shows; and
// through HTTPRequest at most once (a connection of its own each time), as money moves.
// And the memory one 50 MB reply costs the client, and how long an answer with endless
// chunk framing holds a request.

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include "app/core/HTTPRequest.h"
#include "app/core/PublicFunction.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/UserDefaults.h"
#include "tests/support/ScriptedServer.h"

namespace {

const QByteArray kReply =
    R"({"result":0,"msg":"","session":"7f3a9c","balance":"12.50","list":[1,2,3]})";

// Starts the request and waits for its end: the parsed reply, or nothing when it failed.
QVariant runToEnd(HTTPRequest* request) {
    QEventLoop loop;
    QVariant got;
    request->setCompletionHandler([&](const QVariant& reply) {
        got = reply;
        loop.quit();
    });
    request->setFailureHandler([&](const HTTPError&) { loop.quit(); });
    request->startRequest();
    loop.exec();
    return got;
}

ScriptedServer& server() {
    static ScriptedServer* s = [] {
        auto* srv = new ScriptedServer;
        srv->setFallback(ScriptedServer::json(kReply));
        return srv;
    }();
    return *s;
}

void BM_RoundTrip_HTTPRequest(benchmark::State& state) {
    const QUrl url = server().url("/pelvo/Balance.do");
    for (auto _ : state) {
        auto* r = HTTPRequest::requestWithURL(url, 30);
        r->setPostValue("7f3a9c", "session");
        r->setPostValue("13800000001", "num");
        r->setPostValue("1", "action");
        r->setAtMostOnce(state.range(0) != 0);
        QVariant got = runToEnd(r);
        benchmark::DoNotOptimize(got);
    }
}
// Arg 1: at most once.
BENCHMARK(BM_RoundTrip_HTTPRequest)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

size_t collect(char* data, size_t size, size_t count, void* into) {
    static_cast<QByteArray*>(into)->append(data, qsizetype(size * count));
    return size * count;
}

// One curl handle on one kept connection, stepped between passes of the loop that the server
// shares: the transport's floor, with no deadline, no callbacks and no socket watching.
void BM_RoundTrip_BareCurl(benchmark::State& state) {
    const QByteArray url = server().url("/pelvo/Balance.do").toEncoded();
    CURLM* multi = curl_multi_init();
    CURL* easy = curl_easy_init();
    QByteArray received;
    curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, "session=7f3a9c&num=13800000001&action=1");
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &collect);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &received);
    for (auto _ : state) {
        received.clear();
        curl_multi_add_handle(multi, easy);
        for (int running = 1; running;) {
            curl_multi_perform(multi, &running);
            if (running) QCoreApplication::processEvents();
        }
        curl_multi_remove_handle(multi, easy);
        QVariant got = ns::Json::parse(received);
        benchmark::DoNotOptimize(got);
    }
    curl_easy_cleanup(easy);
    curl_multi_cleanup(multi);
}
BENCHMARK(BM_RoundTrip_BareCurl)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A field of /proc/self/status in MB ("VmRSS" now, "VmHWM" the peak since resetPeak()).
double statusMb(const QByteArray& field) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

void resetPeak() {
    QFile refs("/proc/self/clear_refs");
    if (refs.open(QIODevice::WriteOnly)) refs.write("5");
}

// A 50 MB reply, its length declared (arg 0), ending with the connection (arg 1) or in chunks
// (arg 2). The server writes only a little ahead of the client, so the growth is the
// client's own.
void BM_HugeReply(benchmark::State& state) {
    constexpr qint64 kBytes = qint64(50) << 20;
    ScriptedServer local;
    const QByteArray framing[] = {"Content-Length: " + QByteArray::number(kBytes), "",
                                  "Transfer-Encoding: chunked"};
    local.setFallback(ScriptedServer::flood(framing[state.range(0)], kBytes));
    double peakGrowth = 0;
    for (auto _ : state) {
        const double before = statusMb("VmRSS");
        resetPeak();
        QVariant got = runToEnd(HTTPRequest::requestWithURL(local.url("/pelvo/GPRSDaily.do"), 30));
        benchmark::DoNotOptimize(got);
        got = QVariant();
        peakGrowth = std::max(peakGrowth, statusMb("VmHWM") - before);
    }
    state.counters["peak_rss_growth_mb"] = peakGrowth;
    state.counters["rss_after_mb"] = statusMb("VmRSS");
}
BENCHMARK(BM_HugeReply)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// An answer whose chunk-size line carries an extension without end, on a request given 2 s:
// how long until it ends, and what the server got out to the client meanwhile.
void BM_EndlessChunkExtension(benchmark::State& state) {
    ScriptedServer local;
    const QByteArray head = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5;";
    local.setFallback(ScriptedServer::endless(head, QByteArray(1024, 'e')));
    double readMb = 0;
    for (auto _ : state) {
        const qint64 before = local.floodWritten();
        QVariant got = runToEnd(HTTPRequest::requestWithURL(local.url("/pelvo/Login.do"), 2));
        benchmark::DoNotOptimize(got);
        readMb = std::max(readMb, double(local.floodWritten() - before) / (1 << 20));
    }
    state.counters["read_mb"] = readMb;
}
BENCHMARK(BM_EndlessChunkExtension)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

QTemporaryDir& benchHome() {
    static QTemporaryDir dir;
    ns::Directories::setHomeOverride(dir.path());
    return dir;
}

void BM_Settings_Read(benchmark::State& state) {
    benchHome();
    PublicFunction::saveConfig("13800000001", "username");
    for (auto _ : state)
        benchmark::DoNotOptimize(PublicFunction::getConfigWithKey("username"));
}
BENCHMARK(BM_Settings_Read);

void BM_Settings_WriteAndSynchronize(benchmark::State& state) {
    benchHome();
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(PublicFunction::saveConfig(QString::number(++i), "session"));
}
BENCHMARK(BM_Settings_WriteAndSynchronize)->Unit(benchmark::kMicrosecond);

void BM_Settings_ColdLoad(benchmark::State& state) {
    benchHome();
    for (int k = 0; k < 20; ++k)
        PublicFunction::saveConfig(QString("value %1").arg(k), QString("key%1").arg(k));
    for (auto _ : state) {
        ns::UserDefaults::resetStandardUserDefaults();
        benchmark::DoNotOptimize(ns::UserDefaults::standardUserDefaults().objectForKey("key1"));
    }
}
BENCHMARK(BM_Settings_ColdLoad)->Unit(benchmark::kMicrosecond);

} // namespace
