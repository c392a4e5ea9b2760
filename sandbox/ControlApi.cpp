#include "sandbox/ControlApi.h"

#include "sandbox/Backend.h"
#include "sandbox/FaultSwitch.h"
#include "sandbox/Reply.h"
#include "sandbox/RequestLog.h"
#include "sandbox/VersionCheckInterface.h"

#include <QRegularExpression>
#include <algorithm>

namespace sandbox {

namespace {

const QString kPrefix = QStringLiteral("/sandbox/");

HttpAnswer done(QJsonObject keys = {}) {
    return HttpAnswer::json(Reply::ok(keys));
}

HttpAnswer refused(int status, const QString& msg) {
    return HttpAnswer::json(Reply::failure(Reply::kFailed, msg), status);
}

} // namespace

bool ControlApi::isControlPath(const QString& path) {
    return path.startsWith(kPrefix);
}

HttpAnswer ControlApi::handle(bool isPost, const QString& path, const FormFields& fields) {
    const QString what = path.mid(kPrefix.size());
    if (what == QLatin1String("requests")) {
        if (isPost) return refused(405, QStringLiteral("use GET"));
        return listRequests(fields);
    }
    if (what == QLatin1String("release"))
        return VersionCheckInterface::control(m_backend, isPost, fields);
    const bool known = what == QLatin1String("fault") || what == QLatin1String("reset") ||
                       what == QLatin1String("clear-requests") ||
                       what == QLatin1String("expire-sessions");
    if (!known) return refused(404, QStringLiteral("unknown sandbox endpoint %1").arg(path));
    if (!isPost) return refused(405, QStringLiteral("use POST"));

    if (what == QLatin1String("fault")) return setFault(fields);
    if (what == QLatin1String("reset")) {
        m_faults.clearAll();
        return done();
    }
    if (what == QLatin1String("clear-requests")) {
        m_log.clear();
        return done();
    }
    const QString token = fields.value("session");
    const int expired = token.isEmpty() ? m_backend.sessions().expireAll()
                                        : int(m_backend.sessions().expire(token));
    return done({{"expired", expired}});
}

HttpAnswer ControlApi::listRequests(const FormFields& query) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    qsizetype bounds[2] = {0, kDefaultPage};
    const char* names[2] = {"offset", "limit"};
    for (int i = 0; i < 2; ++i) {
        if (!query.contains(QLatin1String(names[i]))) continue;
        const QString text = query.value(QLatin1String(names[i]));
        if (!digits.match(text).hasMatch())
            return refused(400, QStringLiteral("\"%1\" must be a whole number, got \"%2\"")
                                    .arg(QLatin1String(names[i]), text));
        bounds[i] = text.toLongLong();
    }
    return HttpAnswer::json(m_log.page(bounds[0], std::min(bounds[1], kMaxPage)));
}

HttpAnswer ControlApi::setFault(const FormFields& fields) {
    const QString name = fields.value("interface");
    if (name.isEmpty()) return refused(400, QStringLiteral("missing \"interface\""));
    const QString kind = fields.value("kind");
    if (kind == QLatin1String("none")) {
        m_faults.clear(name);
        return done();
    }
    QString why;
    const auto fault = Fault::fromText(kind, fields.value("value"), fields.value("msg"), &why);
    if (!fault) return refused(400, why);
    m_faults.set(name, *fault);
    return done();
}

} // namespace sandbox
