// The data-usage screens from push to painted with their data, against the sandbox on
// loopback; and the daily screen's chart repainted with a full month of points.

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>
#include <memory>

#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "screens/usage/FlowDayStatsController.h"
#include "screens/usage/FlowMainController.h"
#include "screens/usage/FlowMonStatsController.h"
#include "screens/usage/FlowSuitChangeController.h"
#include "screens/usage/OtherFlowController.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Animation.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "tests/support/SandboxFixture.h"
#include "tests/support/Wait.h"

namespace {

// One signed-in client home against one sandbox for all the screens.
struct FlowBench {
    FlowBench() {
        ns::Directories::setHomeOverride(home.path());
        ns::UserDefaults::resetStandardUserDefaults();
        ui::Animation::setEnabled(false);
        tavrixConfig::setServerBaseAddress(sandbox.baseAddress());
        PublicFunction::saveConfig(sandbox.signIn(), "session");
        PublicFunction::saveConfig(SandboxFixture::demoNumber(), "username");
    }
    QTemporaryDir home;
    SandboxFixture sandbox;
};

FlowBench& bench() {
    static FlowBench* b = new FlowBench;
    return *b;
}

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Pushes the scene in a fresh window, waits until its data is on screen, paints the window.
void pushToPainted(benchmark::State& state, const QString& scene,
                   const std::function<bool(ui::ViewController*)>& loaded) {
    bench();
    for (auto _ : state) {
        auto window = std::make_unique<ui::Window>();
        ui::ViewController* vc = ui::Storyboard::instantiateViewController("Flow", scene);
        window->setRootViewController(new ui::NavigationController(vc));
        window->makeKeyAndVisible();
        if (!waitUntil([&] { return loaded(vc); })) {
            state.SkipWithError("the screen's data never arrived");
            break;
        }
        QImage frame = window->renderToImage();
        benchmark::DoNotOptimize(frame.constBits());
        state.PauseTiming();
        window.reset();
        settle();
        state.ResumeTiming();
    }
}

void BM_FlowMain(benchmark::State& state) {
    pushToPainted(state, "FlowMainController", [](ui::ViewController* vc) {
        auto* s = qobject_cast<FlowMainController*>(vc);
        return s->meterView()->progress() >= 0 && !s->addFlowBtn()->isHidden();
    });
}

void BM_FlowDaily(benchmark::State& state) {
    pushToPainted(state, "FlowDayStatsController", [](ui::ViewController* vc) {
        return !qobject_cast<FlowDayStatsController*>(vc)->lineChartView()->plots().isEmpty();
    });
}

void BM_FlowMonthly(benchmark::State& state) {
    pushToPainted(state, "FlowMonStatsController", [](ui::ViewController* vc) {
        auto* s = qobject_cast<FlowMonStatsController*>(vc);
        return !s->lineChartView()->plots().isEmpty() && !s->respArrayOfBill().isEmpty();
    });
}

void BM_FlowPlanChange(benchmark::State& state) {
    pushToPainted(state, "FlowSuitChangeController", [](ui::ViewController* vc) {
        return qobject_cast<FlowSuitChangeController*>(vc)->tableViewOfSuit() != nullptr;
    });
}

void BM_FlowFreeResources(benchmark::State& state) {
    pushToPainted(state, "OtherFlowController", [](ui::ViewController* vc) {
        return !qobject_cast<OtherFlowController*>(vc)->respArrayOfWhereUsed().isEmpty();
    });
}

// The daily chart as the screen leaves it after its reply (31 points), repainted.
void BM_FlowDailyChartRepaint(benchmark::State& state) {
    bench();
    auto window = std::make_unique<ui::Window>();
    auto* screen = qobject_cast<FlowDayStatsController*>(
        ui::Storyboard::instantiateViewController("Flow", "FlowDayStatsController"));
    window->setRootViewController(new ui::NavigationController(screen));
    window->makeKeyAndVisible();
    if (!waitUntil([&] { return !screen->lineChartView()->plots().isEmpty(); })) {
        state.SkipWithError("no chart");
        return;
    }
    DailyLineChartView* chart = screen->lineChartView();
    QImage image(chart->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::white);
        chart->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["points"] = double(chart->plots().first().plottingValues().size());
}

} // namespace

BENCHMARK(BM_FlowMain)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FlowDaily)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FlowMonthly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FlowPlanChange)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FlowFreeResources)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FlowDailyChartRepaint)->Unit(benchmark::kMicrosecond);
