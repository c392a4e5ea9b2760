#include "sandbox/Fault.h"

#include <QRegularExpression>
#include <array>
#include <utility>

namespace sandbox {

namespace {

const std::array<std::pair<Fault::Kind, const char*>, 7>& kindNames() {
    static const std::array<std::pair<Fault::Kind, const char*>, 7> names = {{
        {Fault::Kind::Delay, "delay"},
        {Fault::Kind::NoAnswer, "no-answer"},
        {Fault::Kind::EmptyBody, "empty"},
        {Fault::Kind::Html500, "html500"},
        {Fault::Kind::JsonArray, "array"},
        {Fault::Kind::Result, "result"},
        {Fault::Kind::Drop, "drop"},
    }};
    return names;
}

} // namespace

Fault Fault::result(qint64 code, const QString& msg) {
    QString text = msg;
    if (text.isEmpty())
        text = code == 9999 ? QStringLiteral("登录已超时，请重新登录")
                            : QStringLiteral("系统繁忙，请稍后再试");
    return {Kind::Result, code, text};
}

std::optional<Fault> Fault::fromText(const QString& kind, const QString& value, const QString& msg,
                                     QString* error) {
    auto refuse = [error](const QString& why) {
        if (error) *error = why;
        return std::nullopt;
    };
    for (const auto& [k, name] : kindNames()) {
        if (kind != QLatin1String(name)) continue;
        if (k != Kind::Delay && k != Kind::Result) return Fault{k, 0, {}};
        const QString text = value.trimmed();
        // Digits only (a sign for result codes): toLongLong alone takes "+5" and blanks inside.
        static const QRegularExpression delayPattern(QStringLiteral("^[0-9]{1,18}$"));
        static const QRegularExpression codePattern(QStringLiteral("^-?[0-9]{1,18}$"));
        if (k == Kind::Delay) {
            if (!delayPattern.match(text).hasMatch() || text.toLongLong() > kMaxDelayMs)
                return refuse(QStringLiteral("delay must be 0 to %1 ms, got \"%2\"")
                                  .arg(kMaxDelayMs)
                                  .arg(value));
            return delay(text.toLongLong());
        }
        if (!codePattern.match(text).hasMatch())
            return refuse(
                QStringLiteral("result code must be a whole number, got \"%1\"").arg(value));
        return result(text.toLongLong(), msg);
    }
    return refuse(QStringLiteral("unknown fault kind \"%1\"").arg(kind));
}

QString Fault::kindName(Kind kind) {
    for (const auto& [k, name] : kindNames())
        if (k == kind) return QLatin1String(name);
    return QString();
}

} // namespace sandbox
