#include "platform/foundation/DeviceInfo.h"

#include "platform/foundation/Directories.h"
#include "platform/foundation/RegularFile.h"

#include <QCoreApplication>
#include <QNetworkInterface>
#include <QRegularExpression>
#include <QUuid>

namespace ns::DeviceInfo {

QString identifierForVendor() {
    const QString path = Directories::library() + "/device-id";
    // An id in braces with a line end is 39 bytes: anything much larger is not one.
    if (const std::optional<QByteArray> bytes = readOwnFile(path, 64)) {
        const QString stored = QString::fromLatin1(*bytes).trimmed();
        if (!QUuid::fromString(stored).isNull()) return stored;
    }
    const QString made = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    // What holds no id is replaced, whatever it is.
    replaceFile(path, made.toLatin1());
    return made;
}

QString applicationVersion() {
    const QString v = QCoreApplication::applicationVersion();
    return v.isEmpty() ? QStringLiteral("1.0.0") : v;
}

QString macAddress() {
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
        if (i.flags().testFlag(QNetworkInterface::IsLoopBack)) continue;
        const QString hw = i.hardwareAddress();
        if (!hw.isEmpty() && hw != "00:00:00:00:00:00") return hw;
    }
    return QStringLiteral("Error: no network interface");
}

QString model() {
    return QStringLiteral("Linux desktop");
}

namespace {
const QString kDeclaredSystemVersion = QStringLiteral("7.1");
QString g_systemVersion;
} // namespace

QString systemVersion() {
    return g_systemVersion.isEmpty() ? kDeclaredSystemVersion : g_systemVersion;
}

void setSystemVersion(const QString& version) {
    g_systemVersion = version;
}

float systemVersionNumber() {
    // Leading blanks, an optional sign, digits and at most one point; the rest is ignored.
    static const QRegularExpression leading(QStringLiteral("^\\s*([+-]?(\\d+\\.?\\d*|\\.\\d+))"));
    const QRegularExpressionMatch m = leading.match(systemVersion());
    return m.hasMatch() ? m.captured(1).toFloat() : 0.0f;
}

bool isSystemVersionAtLeast(float version) {
    return systemVersionNumber() >= version;
}

} // namespace ns::DeviceInfo
