#include "platform/ui/WebView.h"

#include "platform/ui/WebViewFake.h"
#include "platform/ui/WebViewModule.h"

namespace ui {

namespace {

WebView::Factory& factory() {
    static WebView::Factory f;
    return f;
}

int g_live = 0;

QStringList& messageSchemeList() {
    static QStringList schemes;
    return schemes;
}

} // namespace

WebView* WebView::create(const QRectF& frame, View* parent) {
    if (factory()) return factory()(frame, parent);
    return WebViewModule::shared().create(frame, parent);
}

void WebView::setFactory(Factory f) {
    factory() = std::move(f);
}

int WebView::liveCount() {
    return g_live;
}

WebView::WebView(const QRectF& frame, View* parent) : View(frame, parent) {
    ++g_live;
}

WebView::~WebView() {
    --g_live;
}

void WebView::deleteAllCookies() {
    WebViewModule::shared().deleteAllCookies();
    WebViewFake::noteCookieDeletion();
}

void WebView::setMessageSchemes(const QStringList& schemes) {
    messageSchemeList() = schemes;
}

QStringList WebView::messageSchemes() {
    return messageSchemeList();
}

bool WebView::shouldStartLoad(const QUrl& url, WebViewNavigationType type,
                              const WebViewRequester& requester) {
    WebViewDelegate* d = delegate();
    return !d || d->webViewShouldStartLoadWithRequest(this, url, type, requester);
}

void WebView::didStartLoad() {
    if (WebViewDelegate* d = delegate()) d->webViewDidStartLoad(this);
}

void WebView::didFinishLoad(bool ok, const QString& error) {
    if (WebViewDelegate* d = delegate()) {
        if (ok)
            d->webViewDidFinishLoad(this);
        else
            d->webViewDidFailLoadWithError(this, error);
    }
    emit loadFinished(ok);
}

} // namespace ui
