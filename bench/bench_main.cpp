#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The bench sits away from the web-engine module; the engine wants this set early.
    if (qEnvironmentVariableIsEmpty("TAVRIX_WEBENGINE_MODULE"))
        qputenv("TAVRIX_WEBENGINE_MODULE", TAVRIX_WEBENGINE_MODULE_DEFAULT);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
