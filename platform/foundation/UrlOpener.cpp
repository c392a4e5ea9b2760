#include "platform/foundation/UrlOpener.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/RegularFile.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <memory>
#include <utility>

namespace ns::UrlOpener {

namespace {
Handler g_open;
Handler g_canOpen;
QString g_opener;
} // namespace

bool openURL(const QUrl& url) {
    if (g_open) return g_open(url);
    // The desktop's opener reports success once it has started, whether or not anything then
    // takes the link: a scheme without a handler is refused here, so the caller can say so.
    if (!url.isValid() || !canOpenURL(url)) return false;
    return QDesktopServices::openUrl(url);
}

namespace {

// Desktop entries and association lists are a few kilobytes; anything far larger, or not a
// plain file, is not read.
constexpr qint64 kMaxListBytes = 1024 * 1024;

QStringList applicationDirs() {
    QStringList dirs;
    const QString dataHome =
        qEnvironmentVariable("XDG_DATA_HOME", QDir::homePath() + "/.local/share");
    dirs << dataHome + "/applications";
    const QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    for (const QString& d : dataDirs.split(u':', Qt::SkipEmptyParts))
        dirs << d + "/applications";
    return dirs;
}

// Whether a desktop entry or an association list names a handler for the MIME type. Read
// straight from the files: asking a helper program would hold up the event loop.
bool hasHandler(const QString& mime) {
    const QString configHome =
        qEnvironmentVariable("XDG_CONFIG_HOME", QDir::homePath() + "/.config");
    QStringList lists = {configHome + "/mimeapps.list"};
    for (const QString& d : applicationDirs())
        lists << d + "/mimeapps.list";
    for (const QString& path : lists) {
        const std::optional<QByteArray> text = readRegularFile(path, kMaxListBytes);
        if (!text) continue;
        for (const QByteArray& raw : text->split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.startsWith(mime + u'=') && line.size() > mime.size() + 1) return true;
        }
    }
    for (const QString& d : applicationDirs()) {
        const QStringList entries = QDir(d).entryList({"*.desktop"}, QDir::Files);
        for (const QString& name : entries) {
            const std::optional<QByteArray> text = readRegularFile(d + u'/' + name, kMaxListBytes);
            if (!text) continue;
            for (const QByteArray& raw : text->split('\n')) {
                const QString line = QString::fromUtf8(raw).trimmed();
                if (!line.startsWith("MimeType=")) continue;
                if (line.mid(9).split(u';', Qt::SkipEmptyParts).contains(mime)) return true;
                break;
            }
        }
    }
    return false;
}

} // namespace

bool canOpenURL(const QUrl& url) {
    if (g_canOpen) return g_canOpen(url);
    const QString scheme = url.scheme().toLower();
    if (scheme.isEmpty()) return false;
    if (scheme == "http" || scheme == "https" || scheme == "file") return true;
    return hasHandler("x-scheme-handler/" + scheme);
}

void openURL(const QUrl& url, std::function<void(bool)> done) {
    if (!done) done = [](bool) {};
    if (g_open) return done(g_open(url));
    const QString program =
        g_opener.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("xdg-open")) : g_opener;
    if (!url.isValid() || !canOpenURL(url) || program.isEmpty()) return done(false);
    // The opener's own exit says whether it found a program for the link; starting it says
    // nothing. It is never killed: once it has started the program, that program is the user's.
    // Owned by the application, so one still running when the client ends goes with it.
    auto* opener = new QProcess(QCoreApplication::instance());
    auto pending = std::make_shared<std::function<void(bool)>>(std::move(done));
    auto report = [pending](bool taken) {
        if (!*pending) return;
        const auto once = std::exchange(*pending, nullptr);
        once(taken);
    };
    QObject::connect(opener, &QProcess::finished, opener,
                     [opener, report](int code, QProcess::ExitStatus status) {
                         report(status == QProcess::NormalExit && code == 0);
                         opener->deleteLater();
                     });
    QObject::connect(opener, &QProcess::errorOccurred, opener,
                     [opener, report](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         report(false);
                         opener->deleteLater();
                     });
    performAfter(kHandOffGraceMs, opener, [report] { report(true); });
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->start(program, {QString::fromUtf8(url.toEncoded())});
}

void setOpenerProgram(const QString& program) {
    g_opener = program;
}

void setHandler(Handler handler) {
    g_open = std::move(handler);
}
void setCanOpenHandler(Handler handler) {
    g_canOpen = std::move(handler);
}

} // namespace ns::UrlOpener
