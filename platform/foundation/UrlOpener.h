#pragma once

#include <QList>
#include <QUrl>
#include <functional>

namespace ns {

// Asks the desktop to open a URL. Tests replace the handler to see what would be opened.
namespace UrlOpener {
using Handler = std::function<bool(const QUrl&)>;
// False when the link is invalid, no application takes its scheme, or the desktop refused it.
bool openURL(const QUrl& url);
// Whether some application is registered for the URL's scheme.
bool canOpenURL(const QUrl& url);
void setHandler(Handler handler);        // empty restores the desktop
void setCanOpenHandler(Handler handler); // empty restores the desktop
} // namespace UrlOpener

} // namespace ns
