#pragma once

#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>

namespace ui {
class ViewController;
}

// How the tab screens reach the operator's pages and their other screens.
namespace OperatorPages {

// The server base address followed by pathAndQuery, whose "%@" placeholders take the values
// in order. Values are percent-encoded so a session or an encrypted number can never change
// the query's shape; missing values leave "".
QString pageAddress(const QString& pathAndQuery, const QStringList& values);
// The same for pages that identify the subscriber by a fresh encrypted number: the
// placeholders take phone, session, a new nonce and the number encrypted under it.
QString encryptedPageAddress(const QString& pathAndQuery);

// Pushes the scene onto from's navigation stack, after configure (when given) has set it up.
// An unknown scene, or a screen outside a navigation stack, does nothing. Returns the screen
// pushed, or nullptr.
ui::ViewController* pushScene(ui::ViewController* from, const QString& storyboard,
                              const QString& identifier, bool hidesBottomBar, bool animated,
                              const std::function<void(ui::ViewController*)>& configure = {});
// Pushes the in-app web page at url with title, animated.
ui::ViewController* openWebPage(ui::ViewController* from, const QString& url, const QString& title,
                                bool hidesBottomBar);

} // namespace OperatorPages

namespace ui {
class Button;
class View;
} // namespace ui

namespace OperatorPages {
// The button tagged tag in the screen's view, once it is loaded.
ui::Button* buttonWithTag(const ui::ViewController* screen, int tag);
// A tab screen's entry button: a white rounded row with its title on the left, tagged, whose
// press calls action.
ui::Button* entryButton(ui::View* parent, const QRectF& frame, int tag, const QString& title,
                        const std::function<void(ui::Button*)>& action);
} // namespace OperatorPages
