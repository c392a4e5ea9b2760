#pragma once

#include "sandbox/Database.h"
#include "sandbox/SessionStore.h"
#include "sandbox/Subscribers.h"

#include <QString>

namespace sandbox {

// The sandbox's data: the database with its subscribers and sessions, and what the network
// gateway knows (which line a gateway log-in comes from).
class Backend {
public:
    Backend() : m_subscribers(m_db), m_sessions(m_db) {}

    // Opens (or creates) the database, brings its tables up to date and writes the demo
    // data when the database is new or `reseed` is set.
    bool open(const QString& path, bool reseed, QString* error);

    Database& database() { return m_db; }
    Subscribers& subscribers() { return m_subscribers; }
    SessionStore& sessions() { return m_sessions; }

    // Empty: the gateway does not recognise the line.
    const QString& gatewayNumber() const { return m_gatewayNumber; }
    void setGatewayNumber(const QString& number) { m_gatewayNumber = number; }

private:
    Database m_db;
    Subscribers m_subscribers;
    SessionStore m_sessions;
    QString m_gatewayNumber;
};

} // namespace sandbox
