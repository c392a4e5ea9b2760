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

// Removes the item at path and everything below it, whatever bytes its names hold and however
// deep it goes, without ever following a link. True when nothing is left there.
bool removeTree(const QString& path);
// Where something bound for `folder` is made before it takes its name there in one step:
// temporary(), which each start empties, so what a write cut short by a kill leaves is never
// found beside the client's files; `folder` itself when temporary() is on another filesystem
// (a rename cannot cross one).
QString stagingFolderFor(const QString& folder);
// Empties temporary(): what a killed or crashed client left there is of no use to anyone.
// Only for the one running client, at its start.
bool emptyTemporary();
} // namespace Directories

} // namespace ns
