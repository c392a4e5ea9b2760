#pragma once

#include <QString>

namespace ns {

// The application's sandbox: $TAVRIX_HOME (default ~/.local/share/tavrix) holding Documents,
// Library/Caches, Library/Preferences and tmp, created on first use.
namespace Directories {
QString home();
QString documents();
QString library();
QString caches();
QString preferences();
QString temporary();
// Tests point the sandbox elsewhere; an empty path returns to the environment's choice.
void setHomeOverride(const QString& path);
} // namespace Directories

} // namespace ns
