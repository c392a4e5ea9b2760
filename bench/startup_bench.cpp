// Start-up: from the application's launch to its first screen drawn (the router deciding on
// the log-in screen, no network), and the process's resident memory once it is up.

#include <QCoreApplication>
#include <QFile>
#include <QImage>
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

} // namespace
