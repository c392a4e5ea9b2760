#include "platform/foundation/UrlOpener.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace ns::UrlOpener {

namespace {
Handler g_open;
Handler g_canOpen;
} // namespace

bool openURL(const QUrl& url) {
    if (g_open) return g_open(url);
    if (!url.isValid()) return false;
    return QDesktopServices::openUrl(url);
}

bool canOpenURL(const QUrl& url) {
    if (g_canOpen) return g_canOpen(url);
    const QString scheme = url.scheme();
    if (scheme.isEmpty()) return false;
    if (scheme == "http" || scheme == "https" || scheme == "file") return true;
    // The desktop's MIME registry knows scheme handlers as x-scheme-handler/<scheme>.
    const QString xdgMime = QStandardPaths::findExecutable("xdg-mime");
    if (xdgMime.isEmpty()) return false;
    QProcess p;
    p.start(xdgMime, {"query", "default", "x-scheme-handler/" + scheme});
    if (!p.waitForFinished(2000)) return false;
    return !p.readAllStandardOutput().trimmed().isEmpty();
}

void setHandler(Handler handler) {
    g_open = std::move(handler);
}
void setCanOpenHandler(Handler handler) {
    g_canOpen = std::move(handler);
}

} // namespace ns::UrlOpener
