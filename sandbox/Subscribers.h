#pragma once

#include "sandbox/Subscriber.h"

#include <optional>

namespace sandbox {

class Database;

// The subscriber records of the database.
class Subscribers {
public:
    explicit Subscribers(Database& db) : m_db(db) {}

    std::optional<Subscriber> find(const QString& number) const;
    bool setPassword(const QString& number, const QString& password);

private:
    Database& m_db;
};

} // namespace sandbox
