#pragma once

namespace sandbox {

class Database;

// The demo records of the query and manage screens: each subscriber's package, the offers
// (recommended per subscriber and popular), and the first subscriber's log-in SMS notice.
class SelfServiceData {
public:
    // Restores the demo packages and offers; a log-in SMS setting a user changed is kept.
    static bool seed(Database& db);
};

} // namespace sandbox
