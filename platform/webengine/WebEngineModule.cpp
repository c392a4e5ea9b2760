// The module's entry points, looked up by name by ui::WebViewModule. Plain C names: the
// loader finds them without knowing any C++ mangling.

#include "platform/webengine/WebViewEngine.h"

extern "C" {

Q_DECL_EXPORT ui::WebView* tavrix_webengine_createWebView(const QRectF& frame, ui::View* parent) {
    return new ui::WebViewEngine(frame, parent);
}

Q_DECL_EXPORT void tavrix_webengine_deleteAllCookies() {
    ui::WebViewEngine::deleteAllCookies();
}

} // extern "C"
