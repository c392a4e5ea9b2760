#include "sandbox/Subscribers.h"

#include "sandbox/Database.h"

namespace sandbox {

std::optional<Subscriber> Subscribers::find(const QString& number) const {
    const QList<QVariantMap> rows =
        m_db.query(QStringLiteral("SELECT number, password, name, star_level FROM subscribers"
                                  " WHERE number = ?"),
                   {number});
    if (rows.isEmpty()) return std::nullopt;
    const QVariantMap& row = rows.first();
    return Subscriber{row.value("number").toString(), row.value("password").toString(),
                      row.value("name").toString(), row.value("star_level").toString()};
}

bool Subscribers::setPassword(const QString& number, const QString& password) {
    return m_db.exec(QStringLiteral("UPDATE subscribers SET password = ? WHERE number = ?"),
                     {password, number}) &&
           m_db.changes() == 1;
}

} // namespace sandbox
