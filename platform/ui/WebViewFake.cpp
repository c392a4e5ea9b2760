#include "platform/ui/WebViewFake.h"

#include <QPointer>

namespace ui {

namespace {

QPointer<WebViewFake> g_last;
int g_cookieDeletions = 0;
bool g_installed = false;

} // namespace

WebViewFake::ScopedInstall::ScopedInstall() {
    g_installed = true;
    g_cookieDeletions = 0;
    WebView::setFactory(
        [](const QRectF& frame, View* parent) { return new WebViewFake(frame, parent); });
}

WebViewFake::ScopedInstall::~ScopedInstall() {
    WebView::setFactory({});
    g_installed = false;
}

WebViewFake::WebViewFake(const QRectF& frame, View* parent) : WebView(frame, parent) {
    g_last = this;
}

WebViewFake::~WebViewFake() = default;

WebViewFake* WebViewFake::last() {
    return g_last;
}

int WebViewFake::cookieDeletions() {
    return g_cookieDeletions;
}

void WebViewFake::noteCookieDeletion() {
    if (g_installed) ++g_cookieDeletions;
}

void WebViewFake::loadRequest(const QUrl& url) {
    m_requested.append(url);
    if (!shouldStartLoad(url, WebViewNavigationType::Other, {this->url(), {}, true})) return;
    m_pending = url;
    m_loading = true;
    didStartLoad();
}

bool WebViewFake::navigate(const QUrl& url, WebViewNavigationType type, Frame frame,
                           const QUrl& sender) {
    // A page's scripts run once it is on its way: before the first load ends, the page asking
    // is the one loading.
    const QUrl shown = m_history.isEmpty() ? m_pending : m_history.last();
    // As the engine: the sender is named only for a message scheme, the page's own by default.
    const QUrl named = !messageSchemes().contains(url.scheme()) ? QUrl()
                       : sender.isEmpty()                       ? shown
                                                                : sender;
    if (!shouldStartLoad(url, type, {shown, named, frame == Frame::Main})) return false;
    if (frame == Frame::Inner) return true;
    m_pending = url;
    m_loading = true;
    didStartLoad();
    return true;
}

void WebViewFake::finishLoad(bool ok) {
    if (!m_loading) return;
    m_loading = false;
    if (ok) m_history.append(m_pending);
    didFinishLoad(ok, ok ? QString() : QStringLiteral("failed"));
}

void WebViewFake::stopLoading() {
    ++m_stops;
    m_loading = false;
}

void WebViewFake::goBack() {
    if (canGoBack()) m_history.removeLast();
}

void WebViewFake::evaluateJavaScript(const QString& script, ScriptResult result) {
    m_scripts.append(script);
    if (result) result(QVariant());
}

} // namespace ui
