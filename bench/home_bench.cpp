// The picture cache (memory hit, disk hit, a miss fetched from the sandbox over loopback), and
// the home page from launch to a populated balances header against the sandbox on loopback
// (compare with BM_StartUp_LaunchToFirstScreen, the bare start-up to the log-in screen).

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "app/categories/MD5.h"
#include "app/core/AppDelegate.h"
#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "app/download/MultiplexCache.h"
#include "app/download/PCFile.h"
#include "app/download/netLoading.h"
#include "screens/home/RootViewController.h"
#include "screens/shell/SkatingRinkViewController.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Animation.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"
#include "sandbox/SandboxServer.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/Wait.h"

namespace {

void quietMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

// A sandbox picture (640 x 272 PNG) and where the cache keeps it.
struct PictureSetup {
    PictureSetup() {
        ns::Directories::setHomeOverride(home.path());
        url = QString(sandbox.baseAddress()).replace("/pelvo/", "/pictures/ad_flow.png");
        name = MD5::md5(url);
        dir = PCFile::fileCacheDir("imageCache");
        MultiplexCache::removeCache();
    }
    ~PictureSetup() {
        MultiplexCache::removeCache();
        ns::Directories::setHomeOverride({});
    }
    bool load(ui::ImageView& view) {
        view.setImage(QImage());
        netLoading::asynchronousLoadImage(&view, url, name, dir, QImage());
        return waitUntil([&] { return !view.image().isNull(); });
    }
    QTemporaryDir home;
    SandboxFixture sandbox;
    QString url, name, dir;
};

void BM_PictureCache_MemoryHit(benchmark::State& state) {
    PictureSetup setup;
    ui::ImageView view;
    if (!setup.load(view)) state.SkipWithError("no picture");
    for (auto _ : state) {
        view.setImage(QImage());
        netLoading::asynchronousLoadImage(&view, setup.url, setup.name, setup.dir, QImage());
        benchmark::DoNotOptimize(view.image());
    }
}
BENCHMARK(BM_PictureCache_MemoryHit)->Unit(benchmark::kMicrosecond);

void BM_PictureCache_DiskHit(benchmark::State& state) {
    PictureSetup setup;
    ui::ImageView view;
    if (!setup.load(view)) state.SkipWithError("no picture");
    for (auto _ : state) {
        state.PauseTiming();
        MultiplexCache::removeCache();
        view.setImage(QImage());
        state.ResumeTiming();
        netLoading::asynchronousLoadImage(&view, setup.url, setup.name, setup.dir, QImage());
        benchmark::DoNotOptimize(view.image());
    }
}
BENCHMARK(BM_PictureCache_DiskHit)->Unit(benchmark::kMicrosecond);

void BM_PictureCache_MissOverLoopback(benchmark::State& state) {
    PictureSetup setup;
    ui::ImageView view;
    for (auto _ : state) {
        state.PauseTiming();
        MultiplexCache::removeCache();
        QFile::remove(setup.dir + "/" + setup.name);
        state.ResumeTiming();
        if (!setup.load(view)) state.SkipWithError("no picture");
    }
}
BENCHMARK(BM_PictureCache_MissOverLoopback)->Unit(benchmark::kMillisecond);

void BM_Home_LaunchToPopulatedHeader(benchmark::State& state) {
    QTemporaryDir home;
    ns::Directories::setHomeOverride(home.path());
    ns::UserDefaults::resetStandardUserDefaults();
    qputenv("TAVRIX_NETWORK", "none");
    const QtMessageHandler previous = qInstallMessageHandler(quietMessages);
    ui::ScopedInstantAnimations instant;
    SandboxFixture sandbox;
    tavrixConfig::setIsOpenGuideView(true);
    tavrixConfig::setServerBaseAddress(sandbox.baseAddress());
    PublicFunction::saveConfig(SandboxFixture::demoNumber(), "username");
    PublicFunction::saveConfig(sandbox.signIn(), "session");
    for (auto _ : state) {
        AppDelegate app;
        app.applicationDidFinishLaunchingWithOptions({});
        auto* root = qobject_cast<ui::NavigationController*>(app.window()->rootViewController());
        root->pushViewController(
            ui::Storyboard::instantiateViewController("Main", "SkatingRinkViewController"), false);
        auto* container = qobject_cast<SkatingRinkViewController*>(root->topViewController());
        auto* nav = qobject_cast<ui::NavigationController*>(
            container->rightViewController()->viewControllers().value(0));
        auto* page = qobject_cast<RootViewController*>(nav->viewControllers().value(0));
        if (!waitUntil([&] { return !page->otherFlowRemain()->text().isEmpty(); }))
            state.SkipWithError("no header");
        benchmark::DoNotOptimize(app.window()->renderToImage());
        state.PauseTiming();
        app.window()->hide();
        state.ResumeTiming();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    qInstallMessageHandler(previous);
    qunsetenv("TAVRIX_NETWORK");
    ns::Directories::setHomeOverride({});
}
BENCHMARK(BM_Home_LaunchToPopulatedHeader)->Unit(benchmark::kMillisecond);

} // namespace
