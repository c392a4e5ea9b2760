#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace sandbox {

class Database;

// Log-in sessions: a random token for one subscriber number, valid until it has gone unused
// for the time to live. Times are milliseconds on the store's clock (wall time unless
// replaced, e.g. by a test's manual clock).
class SessionStore {
public:
    using Now = std::function<qint64()>;

    explicit SessionStore(Database& db);

    void setNow(Now now) { m_now = std::move(now); }
    qint64 now() const { return m_now(); }
    void setTtlSeconds(qint64 seconds) { m_ttlMs = seconds * 1000; }
    qint64 ttlSeconds() const { return m_ttlMs / 1000; }

    // A new session for the number; empty when it could not be stored.
    QString create(const QString& number);
    // The number whose session the token is, when it is known and not expired, and `num`
    // (when not empty) names that same number, blanks around it ignored. A session that
    // passes is kept alive for another time to live.
    std::optional<QString> verify(const QString& token, const QString& num);
    // Ends every session; returns how many there were.
    int expireAll();
    bool expire(const QString& token);

private:
    Database& m_db;
    Now m_now;
    qint64 m_ttlMs = 30 * 60 * 1000;
};

} // namespace sandbox
