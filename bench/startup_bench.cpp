// Start-up: from the application's launch to its first screen drawn (the router deciding on
// the log-in screen, no network), and the process's resident memory once it is up. Then the
// whole client process against a bare Qt Widgets window, side by side: time from launch to the
// first drawn log-in screen (the process ends once it is drawn) and peak resident memory.

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include "app/core/AppDelegate.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Window.h"

namespace {

double residentMegabytes() {
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return double(fields.value(1).toLongLong()) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void quietMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

void BM_StartUp_LaunchToFirstScreen(benchmark::State& state) {
    QTemporaryDir home;
    ns::Directories::setHomeOverride(home.path());
    ns::UserDefaults::resetStandardUserDefaults();
    tavrixConfig::setIsOpenGuideView(true);
    qputenv("TAVRIX_NETWORK", "none");
    const QtMessageHandler previous = qInstallMessageHandler(quietMessages);
    ui::ScopedInstantAnimations instant;
    for (auto _ : state) {
        AppDelegate app;
        app.applicationDidFinishLaunchingWithOptions({});
        QCoreApplication::sendPostedEvents(); // pending layouts
        benchmark::DoNotOptimize(app.window()->renderToImage());
        state.PauseTiming();
        app.window()->hide();
        state.ResumeTiming();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.counters["rss_MB"] = residentMegabytes();
    qInstallMessageHandler(previous);
    qunsetenv("TAVRIX_NETWORK");
}
BENCHMARK(BM_StartUp_LaunchToFirstScreen)->Unit(benchmark::kMillisecond);

struct ProcessRun {
    bool ok = false;
    double ms = 0;
    double peakMegabytes = 0;
};

// Runs a program to its end, through the measuring launcher, its output discarded.
ProcessRun runToEnd(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(TAVRIX_BENCH_PEAK_RSS_BIN, QStringList{program} + arguments);
    ProcessRun run;
    if (!process.waitForFinished(60000)) return run;
    // The program's own output goes to the same stream: the launcher's line is the last.
    const QList<QByteArray> lines = process.readAllStandardOutput().trimmed().split('\n');
    const QList<QByteArray> fields = lines.last().split(' ');
    if (fields.size() != 3) return run;
    run.ms = fields[0].toDouble();
    run.peakMegabytes = fields[1].toDouble() / 1024.0;
    run.ok = fields[2] == "0";
    return run;
}

// Both programs end by writing what they drew to a PNG file. Encoding the client's gradients
// takes longer than a white window, which is not start-up: the encoding of the picture each
// wrote is timed here and taken off its run.
double pictureWritingMs(const QString& file) {
    const QImage picture(file);
    double best = 0;
    for (int i = 0; i < 3; ++i) {
        QBuffer sink;
        sink.open(QIODevice::WriteOnly);
        QElapsedTimer timer;
        timer.start();
        picture.save(&sink, "PNG");
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        best = i == 0 ? ms : std::min(best, ms);
    }
    return best;
}

void BM_StartUp_LogInScreenAgainstBareWindow(benchmark::State& state) {
    QTemporaryDir home;
    ns::Directories::setHomeOverride(home.path());
    ns::UserDefaults::resetStandardUserDefaults();
    tavrixConfig::setIsOpenGuideView(true); // straight to the log-in screen
    qputenv("TAVRIX_HOME", home.path().toLocal8Bit());
    qputenv("TAVRIX_NETWORK", "none");
    const QString barePicture = home.filePath("bare.png");
    const QString clientPicture = home.filePath("client.png");
    const QStringList clientArguments{
        "--server", "http://127.0.0.1:9/pelvo/", "--screenshot", clientPicture, "--after", "0"};
    ProcessRun client, bare;
    for (auto _ : state) {
        ProcessRun b = runToEnd(TAVRIX_BENCH_BARE_WINDOW_BIN, {barePicture});
        ProcessRun c = runToEnd(TAVRIX_BENCH_CLIENT_BIN, clientArguments);
        if (!b.ok || !c.ok) {
            state.SkipWithError(b.ok ? "the client did not draw its log-in screen"
                                     : "the bare window did not draw");
            break;
        }
        b.ms -= pictureWritingMs(barePicture);
        c.ms -= pictureWritingMs(clientPicture);
        state.SetIterationTime(c.ms / 1000.0);
        client.ms += c.ms;
        bare.ms += b.ms;
        client.peakMegabytes = std::max(client.peakMegabytes, c.peakMegabytes);
        bare.peakMegabytes = std::max(bare.peakMegabytes, b.peakMegabytes);
    }
    const double runs = double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["client_ms"] = client.ms / runs;
    state.counters["bare_ms"] = bare.ms / runs;
    state.counters["time_x"] = bare.ms > 0 ? client.ms / bare.ms : 0;
    state.counters["client_peak_MB"] = client.peakMegabytes;
    state.counters["bare_peak_MB"] = bare.peakMegabytes;
    state.counters["memory_x"] =
        bare.peakMegabytes > 0 ? client.peakMegabytes / bare.peakMegabytes : 0;
    qunsetenv("TAVRIX_HOME");
    qunsetenv("TAVRIX_NETWORK");
}
BENCHMARK(BM_StartUp_LogInScreenAgainstBareWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

} // namespace
