#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <functional>

namespace ns {

// Asks the desktop to open a URL. Tests replace the handler to see what would be opened.
namespace UrlOpener {
using Handler = std::function<bool(const QUrl&)>;
// False when the link is invalid, no application takes its scheme, or the desktop refused it.
bool openURL(const QUrl& url);
// Hands the link to the desktop's opener and reports once whether it was taken: the opener
// ended without an error, or still runs after kHandOffGraceMs (it waits on the program it
// started). No handler for the scheme, an opener that is missing, fails to start, exits
// non-zero or crashes: false. `done` may run before this returns.
void openURL(const QUrl& url, std::function<void(bool taken)> done);
constexpr qint64 kHandOffGraceMs = 2000;
// Whether some application is registered for the URL's scheme.
bool canOpenURL(const QUrl& url);
void setHandler(Handler handler);        // empty restores the desktop
void setCanOpenHandler(Handler handler); // empty restores the desktop
// The program the desktop opens links with ("xdg-open" found on PATH); tests point it at
// another. Empty restores the desktop's.
void setOpenerProgram(const QString& program);
} // namespace UrlOpener

} // namespace ns
