#pragma once

#include "sandbox/Subscriber.h"

#include <QList>

namespace sandbox {

class Database;

// The demo subscribers a new database starts with.
class DemoData {
public:
    static const QList<Subscriber>& subscribers();
    // The first demo subscriber: the default line of the gateway log-in.
    static const Subscriber& primary() { return subscribers().first(); }
    // Writes the demo records, restoring any that were changed (passwords included).
    static bool seed(Database& db);
};

} // namespace sandbox
