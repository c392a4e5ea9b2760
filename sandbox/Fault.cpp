#include "sandbox/Fault.h"

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

std::optional<Fault> Fault::fromText(const QString& kind, const QString& value,
                                     const QString& msg) {
    for (const auto& [k, name] : kindNames()) {
        if (kind != QLatin1String(name)) continue;
        if (k != Kind::Delay && k != Kind::Result) return Fault{k, 0, {}};
        bool ok = false;
        const qint64 number = value.trimmed().toLongLong(&ok);
        if (!ok || (k == Kind::Delay && number < 0)) return std::nullopt;
        return k == Kind::Delay ? delay(number) : result(number, msg);
    }
    return std::nullopt;
}

QString Fault::kindName(Kind kind) {
    for (const auto& [k, name] : kindNames())
        if (k == kind) return QLatin1String(name);
    return QString();
}

} // namespace sandbox
