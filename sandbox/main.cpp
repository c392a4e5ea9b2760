#include "sandbox/SandboxServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

constexpr qint64 kMegabyte = 1024 * 1024;
// Far beyond any memory, and far from overflowing once in bytes.
constexpr qint64 kMaxUnsentMegabytes = 1024 * 1024;

void onStopSignal(int) {
    const char byte = 1;
    (void)!::write(g_signalPipe[0], &byte, 1);
}

// TERM and INT end the event loop, so the server closes its database (writing the
// write-ahead log back into it) instead of dying in the middle.
void quitOnStopSignals(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

bool parseOptions(const QCoreApplication& app, sandbox::SandboxOptions& options) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Operator sandbox server for the tavrix client (loopback only)."));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Port to listen on; 0 picks a free one."),
                                  QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption db(QStringLiteral("db"),
                                QStringLiteral("SQLite database file, created and seeded when "
                                               "new (default: in memory)."),
                                QStringLiteral("path"), QStringLiteral(":memory:"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Write the demo subscribers again."));
    const QCommandLineOption ttl(QStringLiteral("session-ttl"),
                                 QStringLiteral("Idle seconds after which a session expires."),
                                 QStringLiteral("seconds"), QStringLiteral("1800"));
    const QCommandLineOption gateway(
        QStringLiteral("gateway-number"),
        QStringLiteral("The line the gateway log-in reports; empty: the gateway refuses."),
        QStringLiteral("number"), options.gatewayNumber);
    const QCommandLineOption idle(
        QStringLiteral("idle-timeout"),
        QStringLiteral("Milliseconds a connection may stay silent before its request is in."),
        QStringLiteral("ms"), QString::number(options.idleTimeoutMs));
    const QCommandLineOption whole(
        QStringLiteral("request-timeout"),
        QStringLiteral("Milliseconds a whole request may take to arrive."), QStringLiteral("ms"),
        QString::number(options.requestTimeoutMs));
    const QCommandLineOption write(
        QStringLiteral("write-timeout"),
        QStringLiteral("Milliseconds a client may take to read its answer."), QStringLiteral("ms"),
        QString::number(options.writeTimeoutMs));
    const QCommandLineOption unsent(
        QStringLiteral("max-unsent-mb"),
        QStringLiteral("Megabytes of answers not yet written to their clients, across "
                       "connections; while they reach it, new requests get 503 without running "
                       "and late (delayed) answers are dropped with their connections."),
        QStringLiteral("MB"), QString::number(options.maxUnsentBytes / kMegabyte));
    parser.addOptions({port, db, seed, ttl, gateway, idle, whole, write, unsent});
    parser.process(app);

    bool ok = false;
    const uint portValue = parser.value(port).toUInt(&ok);
    if (!ok || portValue > 65535) {
        std::fprintf(stderr, "tavrix-sandbox: bad --port %s\n",
                     parser.value(port).toUtf8().constData());
        return false;
    }
    const qint64 ttlValue = parser.value(ttl).toLongLong(&ok);
    if (!ok || ttlValue <= 0) {
        std::fprintf(stderr, "tavrix-sandbox: bad --session-ttl %s\n",
                     parser.value(ttl).toUtf8().constData());
        return false;
    }
    int* timeouts[] = {&options.idleTimeoutMs, &options.requestTimeoutMs, &options.writeTimeoutMs};
    const QCommandLineOption* timeoutOptions[] = {&idle, &whole, &write};
    for (int i = 0; i < 3; ++i) {
        const QString text = parser.value(*timeoutOptions[i]);
        const int value = text.toInt(&ok);
        if (!ok || value <= 0) {
            std::fprintf(stderr, "tavrix-sandbox: bad --%s %s\n",
                         timeoutOptions[i]->names().first().toUtf8().constData(),
                         text.toUtf8().constData());
            return false;
        }
        *timeouts[i] = value;
    }
    const qint64 unsentValue = parser.value(unsent).toLongLong(&ok);
    if (!ok || unsentValue <= 0 || unsentValue > kMaxUnsentMegabytes) {
        std::fprintf(stderr, "tavrix-sandbox: bad --max-unsent-mb %s\n",
                     parser.value(unsent).toUtf8().constData());
        return false;
    }
    options.maxUnsentBytes = unsentValue * kMegabyte;
    options.port = quint16(portValue);
    options.databasePath = parser.value(db);
    options.reseed = parser.isSet(seed);
    options.sessionTtlSeconds = ttlValue;
    options.gatewayNumber = parser.value(gateway);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavrix-sandbox"));

    sandbox::SandboxOptions options;
    if (!parseOptions(app, options)) return 2;
    quitOnStopSignals(app);
    sandbox::SandboxServer server;
    QString error;
    if (!server.start(options, &error)) {
        std::fprintf(stderr, "tavrix-sandbox: %s\n", error.toUtf8().constData());
        return 1;
    }
    std::printf("tavrix-sandbox listening on %s\n", server.baseAddress().toUtf8().constData());
    std::fflush(stdout);
    return app.exec();
}
