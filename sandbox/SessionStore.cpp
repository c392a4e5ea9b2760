#include "sandbox/SessionStore.h"

#include "sandbox/Database.h"

#include <QDateTime>
#include <QRandomGenerator>

namespace sandbox {

namespace {

QString newToken() {
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(words), sizeof(words)).toHex());
}

} // namespace

SessionStore::SessionStore(Database& db)
    : m_db(db), m_now([] { return QDateTime::currentMSecsSinceEpoch(); }) {}

QString SessionStore::create(const QString& number) {
    const qint64 t = now();
    // Forgotten sessions would otherwise pile up in a long-lived database.
    m_db.exec(QStringLiteral("DELETE FROM sessions WHERE expires_at <= ?"), {t});
    const QString token = newToken();
    if (!m_db.exec(QStringLiteral("INSERT INTO sessions (token, number, expires_at)"
                                  " VALUES (?, ?, ?)"),
                   {token, number, t + m_ttlMs}))
        return QString();
    return token;
}

std::optional<QString> SessionStore::verify(const QString& token, const QString& num) {
    if (token.isEmpty()) return std::nullopt;
    const QList<QVariantMap> rows = m_db.query(
        QStringLiteral("SELECT number, expires_at FROM sessions WHERE token = ?"), {token});
    if (rows.isEmpty()) return std::nullopt;
    const qint64 t = now();
    if (rows.first().value("expires_at").toLongLong() <= t) {
        expire(token);
        return std::nullopt;
    }
    const QString number = rows.first().value("number").toString();
    const QString claimed = num.trimmed();
    if (!claimed.isEmpty() && claimed != number) return std::nullopt;
    m_db.exec(QStringLiteral("UPDATE sessions SET expires_at = ? WHERE token = ?"),
              {t + m_ttlMs, token});
    return number;
}

int SessionStore::expireAll() {
    if (!m_db.exec(QStringLiteral("DELETE FROM sessions"))) return 0;
    return m_db.changes();
}

bool SessionStore::expire(const QString& token) {
    return m_db.exec(QStringLiteral("DELETE FROM sessions WHERE token = ?"), {token}) &&
           m_db.changes() > 0;
}

} // namespace sandbox
