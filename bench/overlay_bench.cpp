#include "app/core/BFHudUtils.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Window.h"
#include "widgets/OverlayHUD.h"

#include <QCoreApplication>
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

// An alert with a server's message of the given UTF-8 size, from show() to its first picture of
// the window. A long message is cut before it is laid out: 1.8 MB should cost well under 50 ms.
static void BM_AlertShowAndPaint(benchmark::State& state) {
    const QString message = QStringLiteral("测试消息。").repeated(int(state.range(0)) / 15);
    ui::Window window;
    window.makeKeyAndVisible();
    for (auto _ : state) {
        auto* alert = new ui::AlertView(QString(), message, nullptr, QStringLiteral("确定"));
        alert->show();
        const QImage shown = window.renderToImage();
        benchmark::DoNotOptimize(shown.constBits());
        state.PauseTiming();
        alert->dismissWithClickedButtonIndex(0, false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.SetLabel(QString("%1 bytes of message").arg(message.toUtf8().size()).toStdString());
}
BENCHMARK(BM_AlertShowAndPaint)->Arg(45)->Arg(1800000)->Unit(benchmark::kMillisecond);
