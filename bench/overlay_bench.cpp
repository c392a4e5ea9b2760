#include "app/core/BFHudUtils.h"
#include "widgets/OverlayHUD.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

// One frame of the loading overlay over a screen: layout, then paint into an image.
static void BM_OverlayLayoutAndPaint(benchmark::State& state) {
    ui::View screen(QRectF(0, 0, 320, 568));
    screen.setBackgroundColor(QColor(242, 242, 242));
    OverlayHUD* hud = BFHudUtils::loading(&screen, nullptr);
    QImage frame(320, 568, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        hud->layoutSubviews();
        frame.fill(Qt::transparent);
        screen.render(&frame, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.SetLabel("320x568 points, dimmed, spinner and details text");
}
BENCHMARK(BM_OverlayLayoutAndPaint)->Unit(benchmark::kMicrosecond);

// The layout arithmetic alone (text measuring included).
static void BM_OverlayLayout(benchmark::State& state) {
    ui::View screen(QRectF(0, 0, 320, 568));
    OverlayHUD* hud = BFHudUtils::loading(&screen, nullptr);
    hud->setLabelText(QStringLiteral("标题"));
    for (auto _ : state) {
        hud->layoutSubviews();
        benchmark::DoNotOptimize(hud->size());
    }
}
BENCHMARK(BM_OverlayLayout)->Unit(benchmark::kMicrosecond);
