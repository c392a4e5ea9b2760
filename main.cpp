#include <QApplication>
#include <QDebug>
#include <QEventLoop>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

#include "app/core/AppDelegate.h"
#include "app/core/AppDelegateArguments.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/DataLock.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/SingleInstance.h"
#include "platform/ui/Window.h"

namespace {

// Offers the arguments to an instance already running; what came of it.
SingleInstance::HandOff handOff(SingleInstance& instance, const QStringList& arguments) {
    QEventLoop loop;
    bool finished = false;
    QObject::connect(&instance, &SingleInstance::handOffFinished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    instance.handOff(arguments);
    // A refusal may come before the loop runs (no instance at all).
    if (!finished) loop.exec();
    return instance.lastHandOff();
}

int g_signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[0], &byte, 1);
}

// The desktop ends a session's programs with SIGTERM (and a terminal with SIGINT or SIGHUP):
// quit through the event loop so the application is told it terminates, as the system would.
void quitOnTerminationSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [notifier] {
        notifier->setEnabled(false);
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[1], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

void openURLs(AppDelegate& delegate, const AppDelegateArguments& args) {
    for (const QString& url : args.urls)
        delegate.openURL(url, args.sourceApplication);
}

} // namespace

int main(int argc, char** argv) {
    // Help needs no display: answered before Qt connects to one.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    if (AppDelegateArguments::parse(raw).help) {
        std::fputs(AppDelegateArguments::usage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    // The browser engine, loaded with the first web page (ui::WebViewModule), shares its GL
    // resources with the window's only if this is set before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    app.setApplicationName("tavrix");
    app.setDesktopFileName("tavrix");
    const QStringList arguments = app.arguments().mid(1);
    const AppDelegateArguments args = AppDelegateArguments::parse(arguments);
    if (!args.error.isEmpty()) {
        qCritical().noquote() << "tavrix:" << args.error << "(tavrix --help lists the options)";
        return 2;
    }

    SingleInstance instance(SingleInstance::defaultKey());
    // Without a folder of our own for the socket (another user made it first) no launch can
    // hand links over; the data lock below still keeps a second client off the same data.
    const bool haveSocketFolder = !instance.serverName().isEmpty();
    bool listening = false;
    // Twice at most: a launch at the same moment may become the running client in between.
    for (int attempt = 0; haveSocketFolder && attempt < 2 && !listening; ++attempt) {
        switch (handOff(instance, arguments)) {
        case SingleInstance::HandOff::Delivered:
            return 0;
        case SingleInstance::HandOff::Refused:
            // Never a second client on the same data.
            qCritical().noquote() << "tavrix:" << instance.refusal();
            return 1;
        case SingleInstance::HandOff::NoInstance:
            break;
        }
        listening = instance.listen();
    }
    // A launch from another session may look for the socket elsewhere (another
    // XDG_RUNTIME_DIR): the data themselves say whether a client runs on them.
    ns::DataLock dataLock(ns::Directories::library() + "/tavrix.lock");
    switch (dataLock.tryLock()) {
    case ns::DataLock::Result::Taken:
        break;
    case ns::DataLock::Result::Held:
        qCritical().noquote() << "tavrix: another client runs on" << ns::Directories::home();
        return 1;
    case ns::DataLock::Result::Failed:
        qCritical().noquote() << "tavrix: cannot lock the data in" << ns::Directories::home()
                              << "(" + dataLock.error() + ")";
        return 1;
    }
    ns::Directories::emptyTemporary(); // the one client: what is there was left behind
    if (!haveSocketFolder)
        qWarning().noquote() << "tavrix:" << SingleInstance::noSocketFolder()
                             << "- starting without taking links from later launches";
    else if (!listening)
        qWarning().noquote() << "tavrix: cannot take URLs from later launches";

    tavrixConfig::setServerBaseAddress(args.server);
    AppDelegate delegate;
    ui::Application::sharedApplication().setDelegate(&delegate);
    delegate.applicationDidFinishLaunchingWithOptions({});
    openURLs(delegate, args);

    QObject::connect(&instance, &SingleInstance::argumentsReceived, &delegate,
                     [&delegate](const QStringList& later) {
                         const AppDelegateArguments more = AppDelegateArguments::parse(later);
                         if (ui::Window* window = delegate.window()) {
                             window->raise();
                             window->activateWindow();
                         }
                         for (const QString& url : more.urls)
                             qInfo().noquote() << "tavrix: URL from a later launch:" << url;
                         openURLs(delegate, more);
                     });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate,
                     [&delegate] { delegate.applicationWillTerminate(); });
    quitOnTerminationSignals();

    if (!args.screenshotFile.isEmpty()) {
        ns::performAfter(args.screenshotAfterMs, &delegate, [&delegate, &args] {
            const bool saved =
                delegate.window() && delegate.window()->saveScreenshot(args.screenshotFile);
            if (!saved) qCritical().noquote() << "tavrix: screenshot not written";
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
