#include "platform/foundation/Pasteboard.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

#include "platform/foundation/PropertyList.h"

namespace ns {

namespace {
QString pathOf(const QString& name) {
    return Pasteboard::directory() + "/" + name + ".plist";
}
} // namespace

QString Pasteboard::directory() {
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QString dir = runtime + "/pasteboards";
    if (!QDir(dir).exists()) {
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return dir;
}

bool Pasteboard::isValidName(const QString& name) {
    static const QRegularExpression allowed("^[A-Za-z0-9_\\-][A-Za-z0-9._\\-]{0,127}$");
    return allowed.match(name).hasMatch();
}

QVariantMap Pasteboard::read(const QString& name) {
    if (!isValidName(name)) return {};
    return ns::PropertyList::readFile(pathOf(name)).toMap();
}

bool Pasteboard::write(const QString& name, const QVariantMap& items) {
    if (!isValidName(name)) return false;
    return ns::PropertyList::writeFile(pathOf(name), items);
}

void Pasteboard::remove(const QString& name) {
    if (isValidName(name)) QFile::remove(pathOf(name));
}

} // namespace ns
