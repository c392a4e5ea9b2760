#include "platform/foundation/Directories.h"

#include <QDir>
#include <QStandardPaths>

namespace ns::Directories {

namespace {
QString g_override;

QString ensured(const QString& path) {
    QDir().mkpath(path);
    return path;
}
} // namespace

void setHomeOverride(const QString& path) {
    g_override = path;
}

QString home() {
    if (!g_override.isEmpty()) return ensured(g_override);
    const QString env = qEnvironmentVariable("TAVRIX_HOME");
    if (!env.isEmpty()) return ensured(env);
    return ensured(QDir::homePath() + "/.local/share/tavrix");
}

QString documents() {
    return ensured(home() + "/Documents");
}
QString library() {
    return ensured(home() + "/Library");
}
QString caches() {
    return ensured(home() + "/Library/Caches");
}
QString preferences() {
    return ensured(home() + "/Library/Preferences");
}
QString temporary() {
    return ensured(home() + "/tmp");
}

} // namespace ns::Directories
