#include "app/core/PublicFunction.h"

#include "platform/foundation/DateFormat.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/UrlOpener.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/Values.h"

#include <QDateTime>
#include <limits>

namespace {

ns::UserDefaults& defaults() {
    return ns::UserDefaults::standardUserDefaults();
}

// ":" after the second character; shorter texts are returned as they are.
QString withColon(const QString& hhmm) {
    return hhmm.size() < 2 ? hhmm : hhmm.left(2) + u':' + hhmm.mid(2);
}

} // namespace

bool PublicFunction::saveConfig(const QVariant& value, const QString& key) {
    defaults().setObject(value, key);
    return defaults().synchronize();
}

QVariant PublicFunction::getConfigWithKey(const QString& key) {
    return defaults().objectForKey(key);
}

void PublicFunction::removeConfigWithKey(const QString& key) {
    defaults().removeObjectForKey(key);
    defaults().synchronize();
}

void PublicFunction::setIsUser4g(bool value) {
    defaults().setBool(value, "isUser4g");
    defaults().synchronize();
}

bool PublicFunction::isUser4g() {
    return defaults().hasObjectForKey("isUser4g") && defaults().boolForKey("isUser4g");
}

QString PublicFunction::getUUIDOfDevice() {
    return ns::DeviceInfo::identifierForVendor();
}

QString PublicFunction::imeiOfDevice() {
    return isIOS7OrLater() ? getUUIDOfDevice()
                           : getConfigWithKey(QStringLiteral("MacAddress")).toString();
}

QString PublicFunction::versionNumberOfAPP() {
    return ns::DeviceInfo::applicationVersion();
}

float PublicFunction::getVersionNumberOfDeviceSystem() {
    return ns::DeviceInfo::systemVersionNumber();
}

bool PublicFunction::isIOS7OrLater() {
    return ns::DeviceInfo::isSystemVersionAtLeast(7.0f);
}

bool PublicFunction::isEmpty(const QString& text) {
    return text.isEmpty();
}

QString PublicFunction::getDateWithStringFormat(const QString& pattern) {
    QDateTime now = ns::DateFormat::now();
    now.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
    return ns::DateFormat::format(now, pattern);
}

QString PublicFunction::getDateStringByFormateString(const QString& pattern,
                                                     const QString& millis) {
    // Millisecond counts of today's dates exceed a float's precision: read them whole.
    const qint64 ms = ns::Values::integerValue(millis);
    return ns::DateFormat::format(QDateTime::fromMSecsSinceEpoch(ms), pattern);
}

void PublicFunction::openUrl(const QString& text) {
    ns::UrlOpener::openURL(QUrl(text));
}

QString PublicFunction::chineseToHex(const QString& text) {
    QString out;
    out.reserve(text.size() * 4);
    for (const QChar c : text)
        out += QStringLiteral("%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    return out;
}

QString PublicFunction::getSecureNumTime(const QString& start, const QString& endOfTime) {
    if (start.isNull() || endOfTime.isNull()) return QStringLiteral("08:00-23:00");
    return withColon(start) + u'-' + withColon(endOfTime);
}

QString PublicFunction::getSecureNumTime2(const QString& time) {
    if (time.isNull()) return QStringLiteral("00:01");
    return withColon(time);
}

QString PublicFunction::changeSecureNumTime(const QString& text) {
    QString out = text;
    return out.remove(u':');
}

QString PublicFunction::changeDisplayTime(const QString& text) {
    const QDateTime when = ns::DateFormat::parse(text, "yyyy-MM-dd HH:mm:ss");
    if (!when.isValid()) return QString();
    return ns::DateFormat::format(when, "yyyy-MM-dd");
}

QColor PublicFunction::colorFromHexCode(const QString& code) {
    QString hex = code;
    hex.remove(u'#');
    if (hex.size() == 3) hex = QString(hex[0]) + hex[0] + hex[1] + hex[1] + hex[2] + hex[2];
    if (hex.size() == 6) hex += QStringLiteral("ff");
    // Leading hexadecimal digits, saturating like a 32-bit scanner.
    quint64 v = 0;
    for (const QChar c : hex) {
        const int d = QStringLiteral("0123456789abcdef").indexOf(c.toLower());
        if (d < 0) break;
        v = v * 16 + quint64(d);
        if (v > std::numeric_limits<quint32>::max()) {
            v = std::numeric_limits<quint32>::max();
            break;
        }
    }
    const auto u = quint32(v);
    return QColor::fromRgbF(float((u >> 24) & 0xff) / 255.f, float((u >> 16) & 0xff) / 255.f,
                            float((u >> 8) & 0xff) / 255.f, float(u & 0xff) / 255.f);
}

QVariant PublicFunction::dicFromJSONWithData(const QByteArray& data) {
    return ns::Json::parse(data);
}
