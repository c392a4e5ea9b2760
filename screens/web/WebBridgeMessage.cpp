#include "screens/web/WebBridgeMessage.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <limits>

const QStringList& WebBridgeMessage::functions() {
    static const QStringList names{
        "getAllPeoplesAddressInfo:",   "showAddressBook:",
        "getVersionNumOfAPP:",         "displaySMSComposerSheetWithPhone:",
        "showTVFriendsView:",          "showTVFriendCircleView:",
        "mirebShareButtonPressed:",    "pushToFunctionModuleVC:",
        "pushToTabbarViewController:",
    };
    return names;
}

bool WebBridgeMessage::isBridgeCall(const QString& urlText) {
    return urlText.contains(QLatin1String(kMarker));
}

std::optional<WebBridgeMessage> WebBridgeMessage::fromURLText(const QString& urlText) {
    // Only the text between the first marker and the next one is looked at.
    const qsizetype start = urlText.indexOf(QLatin1String(kMarker));
    if (start < 0) return std::nullopt;
    const qsizetype from = start + qsizetype(qstrlen(kMarker));
    const qsizetype next = urlText.indexOf(QLatin1String(kMarker), from);
    return parse(urlText.mid(from, next < 0 ? -1 : next - from));
}

qsizetype WebBridgeMessage::maximumArgumentLength(const QString& function) {
    if (function == QLatin1String("displaySMSComposerSheetWithPhone:")) return kMaxSmsBodyLength;
    if (function == QLatin1String("showTVFriendsView:") ||
        function == QLatin1String("showTVFriendCircleView:") ||
        function == QLatin1String("mirebShareButtonPressed:"))
        return kMaxShareLength;
    // The rest take a name, an index or nothing.
    return kMaxRouteLength;
}

std::optional<WebBridgeMessage> WebBridgeMessage::parse(const QString& json) {
    if (json.size() > kMaxMessageLength) return std::nullopt;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return std::nullopt;
    const QJsonObject object = doc.object();
    const QJsonValue function = object.value("function");
    if (!function.isString() || !functions().contains(function.toString())) return std::nullopt;
    WebBridgeMessage message;
    message.function = function.toString();
    message.argument = object.value("argument");
    // Only a text or a number is ever used; anything else is kept (and ignored) only while
    // the message is within its limit.
    if (message.argument.isString() &&
        message.argument.toString().size() > maximumArgumentLength(message.function))
        return std::nullopt;
    const QJsonValue callback = object.value("callback");
    if (callback.isString() && isValidCallback(callback.toString()))
        message.callback = callback.toString();
    return message;
}

bool WebBridgeMessage::isValidCallback(const QString& name) {
    // Anchored whole: "$" alone would let a trailing newline through.
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z0-9_$.]{1,128}")));
    return pattern.match(name).hasMatch();
}

std::optional<QString> WebBridgeMessage::textArgument() const {
    if (argument.isString()) return argument.toString();
    if (argument.isDouble()) {
        const double value = argument.toDouble();
        if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
            return QString::number(qint64(value));
        return QString::number(value, 'g', QLocale::FloatingPointShortest);
    }
    return std::nullopt;
}

std::optional<qint64> WebBridgeMessage::integerArgument() const {
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    constexpr qint64 kMin = std::numeric_limits<qint64>::min();
    if (argument.isBool()) return argument.toBool() ? 1 : 0;
    if (argument.isDouble()) {
        // Cut toward zero; past the range it stays at its end.
        const double value = std::trunc(argument.toDouble());
        if (std::isnan(value)) return 0;
        if (value >= 0x1p63) return kMax;
        if (value < -0x1p63) return kMin;
        return qint64(value);
    }
    if (!argument.isString()) return std::nullopt;
    // The leading integer after any blanks; no digits read as 0, too many stay at the end of
    // the range.
    const QString text = argument.toString();
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+'))
        negative = text.at(i++) == u'-';
    qint64 value = 0;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        const int digit = text.at(i).unicode() - '0';
        if (value > (kMax - digit) / 10) return negative ? kMin : kMax;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

namespace WebBridgeAnswer {

QString escape(const QString& value) {
    QString out;
    out.reserve(value.size() + 8);
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\'':
            out += QLatin1String("\\'");
            break;
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case 0x2028:
            out += QLatin1String("\\u2028");
            break;
        case 0x2029:
            out += QLatin1String("\\u2029");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar('0'));
            else
                out += c;
        }
    }
    return out;
}

namespace {

QString entry(const QString& numbers, const QString& name) {
    return QStringLiteral("{numlist:[%1],name:\"%2\"}").arg(numbers, escape(name));
}

} // namespace

QString contactList(const QString& callback, const QList<Person>& people) {
    QStringList entries;
    for (const Person& person : people) {
        QStringList quoted;
        for (const QString& number : person.numbers)
            quoted.append('"' + escape(number) + '"');
        entries.append(entry(quoted.join(','), person.name));
    }
    return QStringLiteral("%1('[%2]')").arg(callback, escape(entries.join(',')));
}

QString pickedContact(const QString& callback, const QString& number, const QString& name) {
    return QStringLiteral("%1('%2')").arg(callback, escape(entry(escape(number), name)));
}

QString text(const QString& callback, const QString& value) {
    return QStringLiteral("%1('%2')").arg(callback, escape(value));
}

} // namespace WebBridgeAnswer
