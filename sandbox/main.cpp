#include "sandbox/SandboxServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {

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
    parser.addOptions({port, db, seed, ttl, gateway, idle, whole});
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
    int* timeouts[] = {&options.idleTimeoutMs, &options.requestTimeoutMs};
    const QCommandLineOption* timeoutOptions[] = {&idle, &whole};
    for (int i = 0; i < 2; ++i) {
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
