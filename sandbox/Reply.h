#pragma once

#include <QJsonObject>
#include <QString>

namespace sandbox {

// The JSON objects interfaces answer: "result" and "msg" beside the interface's own keys.
class Reply {
public:
    static constexpr qint64 kOk = 0;
    static constexpr qint64 kFailed = 1;
    static constexpr qint64 kSessionExpired = 9999;
    static constexpr qint64 kWrongLogin = 19999;

    static QJsonObject ok(QJsonObject keys = {}, const QString& msg = QStringLiteral("成功"));
    static QJsonObject failure(qint64 code, const QString& msg);
    static QJsonObject sessionExpired();
    static QJsonObject badParameters();
};

} // namespace sandbox
