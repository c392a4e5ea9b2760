// A real click's latency: the built client on an Xvfb display, a click on the log-in button
// with empty fields sent as an X event (XTest), timed until the display shows the alert's first
// frame (the window starts to dim). Escape closes the alert between clicks. Median over 50.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <vector>

#include "platform/foundation/PropertyList.h"
#include "tests/support/XvfbServer.h"

namespace {

// The few libX11 / libXtst calls needed, loaded at run time so the build needs no X headers.
struct XTest {
    using Display = void;
    void* x11 = nullptr;
    void* xtst = nullptr;
    Display* (*openDisplay)(const char*) = nullptr;
    int (*closeDisplay)(Display*) = nullptr;
    int (*flush)(Display*) = nullptr;
    int (*sync)(Display*, int) = nullptr;
    unsigned char (*keysymToKeycode)(Display*, unsigned long) = nullptr;
    int (*fakeMotion)(Display*, int, int, int, unsigned long) = nullptr;
    int (*fakeButton)(Display*, unsigned, int, unsigned long) = nullptr;
    int (*fakeKey)(Display*, unsigned, int, unsigned long) = nullptr;
    Display* display = nullptr;

    bool load(const QString& name) {
        x11 = dlopen("libX11.so.6", RTLD_NOW);
        xtst = dlopen("libXtst.so.6", RTLD_NOW);
        if (!x11 || !xtst) return false;
        auto sym = [](void* lib, const char* s, auto& into) {
            into = reinterpret_cast<std::remove_reference_t<decltype(into)>>(dlsym(lib, s));
            return into != nullptr;
        };
        if (!sym(x11, "XOpenDisplay", openDisplay) || !sym(x11, "XCloseDisplay", closeDisplay) ||
            !sym(x11, "XFlush", flush) || !sym(x11, "XSync", sync) ||
            !sym(x11, "XKeysymToKeycode", keysymToKeycode) ||
            !sym(xtst, "XTestFakeMotionEvent", fakeMotion) ||
            !sym(xtst, "XTestFakeButtonEvent", fakeButton) ||
            !sym(xtst, "XTestFakeKeyEvent", fakeKey))
            return false;
        display = openDisplay(name.toLocal8Bit().constData());
        return display != nullptr;
    }
    ~XTest() {
        if (display) closeDisplay(display);
    }
    void moveTo(int x, int y) {
        fakeMotion(display, 0, x, y, 0);
        sync(display, 0);
    }
    void button(bool down) {
        fakeButton(display, 1, down, 0);
        flush(display);
    }
    void key(unsigned long keysym) {
        const unsigned code = keysymToKeycode(display, keysym);
        fakeKey(display, code, 1, 0);
        fakeKey(display, code, 0, 0);
        flush(display);
    }
};

QString clientExecutable() {
    const QString given = qEnvironmentVariable("TAVRIX_CLIENT_BIN");
    if (!given.isEmpty()) return given;
    return QDir(QCoreApplication::applicationDirPath()).filePath("../tavrix");
}

bool waitFor(const std::function<bool()>& done, int guardMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done())
        if (timer.elapsed() > guardMs) return false;
    return true;
}

void BM_RealClick_XEventToAlertOnDisplay(benchmark::State& state) {
    XvfbServer xvfb;
    if (!xvfb.start()) {
        state.SkipWithError(qPrintable("no display: " + xvfb.error()));
        return;
    }
    XTest x;
    if (!x.load(xvfb.display())) {
        state.SkipWithError("libX11/libXtst cannot be loaded");
        return;
    }
    // The log-in screen (the guide already seen); no server is needed for an empty form.
    QTemporaryDir home;
    QDir().mkpath(home.path() + "/Library/Preferences");
    ns::PropertyList::writeFile(home.path() + "/Library/Preferences/tavrix.plist",
                                QVariantMap{{"is_open_guideview", true}});
    QProcess client;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", xvfb.display());
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("TAVRIX_HOME", home.path());
    env.insert("TAVRIX_NETWORK", "none");
    env.insert("XDG_RUNTIME_DIR", home.path());
    client.setProcessEnvironment(env);
    client.setProcessChannelMode(QProcess::MergedChannels);
    client.start(clientExecutable(), {});
    const QPoint button(160, 272), sample(10, 520);
    const QRgb blue = qRgb(70, 140, 202), page = qRgb(242, 242, 242);
    if (!client.waitForStarted(10000) ||
        !waitFor(
            [&] {
                return xvfb.pixel({40, 272}) == blue && xvfb.pixel(sample) == page;
            },
            30000)) {
        state.SkipWithError("the client's log-in screen did not appear");
        return;
    }
    x.moveTo(button.x(), button.y());
    std::vector<double> ms;
    for (auto _ : state) {
        x.button(true);
        QElapsedTimer timer;
        timer.start();
        x.button(false); // the click acts on release
        const bool shown = waitFor([&] { return xvfb.pixel(sample) != page; }, 5000);
        const double elapsed = double(timer.nsecsElapsed()) / 1e6;
        state.SetIterationTime(elapsed / 1000.0);
        ms.push_back(elapsed);
        if (!shown) {
            state.SkipWithError("no alert appeared");
            break;
        }
        x.key(0xff1b); // Escape: the alert's cancel button
        if (!waitFor([&] { return xvfb.pixel(sample) == page; }, 5000)) {
            state.SkipWithError("the alert did not go");
            break;
        }
    }
    client.kill();
    client.waitForFinished(5000);
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p90_ms"] = ms[ms.size() * 9 / 10];
    state.counters["max_ms"] = ms.back();
}
BENCHMARK(BM_RealClick_XEventToAlertOnDisplay)
    ->Iterations(50)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
