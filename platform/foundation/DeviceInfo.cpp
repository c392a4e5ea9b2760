#include "platform/foundation/DeviceInfo.h"

#include "platform/foundation/Directories.h"

#include <QCoreApplication>
#include <QFile>
#include <QNetworkInterface>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUuid>

namespace ns::DeviceInfo {

QString identifierForVendor() {
    const QString path = Directories::library() + "/device-id";
    QFile in(path);
    if (in.open(QIODevice::ReadOnly)) {
        const QString stored = QString::fromLatin1(in.readAll()).trimmed();
        if (!QUuid::fromString(stored).isNull()) return stored;
    }
    const QString made = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(made.toLatin1());
        out.commit();
    }
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
