#include <QApplication>
#include <QNetworkProxy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/foundation/Directories.h"
#include "platform/ui/Animation.h"

// Every test process gets a throw-away sandbox and instant animations.
int main(int argc, char** argv) {
    // A test started by hand (ctest in the build folder, also as root) needs no set-up: no
    // display, the browser engine's own sandbox off for root.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // A proxy of the machine's is no part of any test: Qt's own clients, the browser engine
    // and the processes tests start would otherwise send loopback traffic through it (or
    // fail to reach it). A test that wants one names it itself.
    for (const char* name : {"http_proxy", "https_proxy", "all_proxy", "no_proxy", "HTTP_PROXY",
                             "HTTPS_PROXY", "ALL_PROXY", "NO_PROXY"})
        qunsetenv(name);
    // Always a runtime folder of this process's own: pasteboards and the single-instance
    // socket live there, and test processes run side by side.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("TAVRIX_SANDBOX_BIN"))
        qputenv("TAVRIX_SANDBOX_BIN", TAVRIX_SANDBOX_BIN_DEFAULT);
    if (qEnvironmentVariableIsEmpty("TAVRIX_CLIENT_BIN"))
        qputenv("TAVRIX_CLIENT_BIN", TAVRIX_CLIENT_BIN_DEFAULT);
    // Test executables sit away from the web-engine module; the engine wants this set early.
    if (qEnvironmentVariableIsEmpty("TAVRIX_WEBENGINE_MODULE"))
        qputenv("TAVRIX_WEBENGINE_MODULE", TAVRIX_WEBENGINE_MODULE_DEFAULT);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    QTemporaryDir home;
    ns::Directories::setHomeOverride(home.path());
    ui::Animation::setEnabled(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
