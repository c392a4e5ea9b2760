#pragma once

#include <QString>

namespace sandbox {

class Database;

// The sandbox's tables, built up by numbered steps (SQLite's user_version says how far a
// database has come). A later interface that needs its own data appends a step to the list
// in Schema.cpp; existing databases then gain the new tables on their next start.
class Schema {
public:
    static int currentVersion();
    // Applies the missing steps, each in its own transaction. *wasEmpty tells whether the
    // database had no tables of ours before (a new file).
    static bool migrate(Database& db, bool* wasEmpty, QString* error);
};

} // namespace sandbox
