#include "tests/widgets/UsageChartSamples.h"

#include <QImage>
#include <benchmark/benchmark.h>

namespace {

// One frame of a widget painted into an image at twice the point size, as a screen with a
// 2x display paints it. The frame budget is 16.7 ms.
void paintFrames(benchmark::State& state, ui::View& view) {
    for (auto _ : state) {
        view.update();
        QImage image = view.renderToImage(2.0);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["frame_budget_ms"] = 16.7;
}

void BM_DailyChart31Days(benchmark::State& state) {
    auto chart = UsageChartSamples::dailyChart(31);
    paintFrames(state, *chart);
}

void BM_MonthlyChart6Months(benchmark::State& state) {
    auto chart = UsageChartSamples::monthlyChart();
    paintFrames(state, *chart);
}

void BM_UsageMeter(benchmark::State& state) {
    auto meter = UsageChartSamples::meter(87.5f);
    paintFrames(state, *meter);
}

} // namespace

BENCHMARK(BM_DailyChart31Days)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthlyChart6Months)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UsageMeter)->Unit(benchmark::kMillisecond);
