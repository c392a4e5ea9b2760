// The module's entry points, looked up by name by ui::WebViewModule. Plain C names: the
// loader finds them without knowing any C++ mangling.

#include "platform/webengine/WebViewEngine.h"

#include <QQuickWindow>

namespace {

// The engine's view draws through Qt Quick. Drawn into a GPU texture, its first page would make
// Qt replace the client's raster window by an OpenGL one (a new native window, black until its
// first frame); Qt Quick's software renderer paints it like any other widget, into the window
// the client opened. A backend the user names is kept.
void drawPagesLikeWidgets() {
    static const bool chosen = [] {
        if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
            QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        return true;
    }();
    Q_UNUSED(chosen);
}

} // namespace

extern "C" {

Q_DECL_EXPORT ui::WebView* tavrix_webengine_createWebView(const QRectF& frame, ui::View* parent) {
    drawPagesLikeWidgets(); // before the engine's first view
    return new ui::WebViewEngine(frame, parent);
}

Q_DECL_EXPORT void tavrix_webengine_deleteAllCookies() {
    ui::WebViewEngine::deleteAllCookies();
}

} // extern "C"
