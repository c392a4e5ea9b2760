#pragma once

#include "platform/foundation/Weak.h"
#include "platform/ui/View.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <functional>

namespace ui {

class WebView;

enum class WebViewNavigationType { LinkClicked, FormSubmitted, BackForward, Reload, Other };

// Who asked for a navigation. `page` is the address of the page shown in the main frame when
// it was asked for (the one it leaves, when it asks to leave; empty before any page): the page
// that a script run in answer reaches. `sender`, only for a navigation to a message scheme, is
// the origin of the document that started it, as the engine names it: a frame's own, also when
// the frame sends the whole page; empty for any other navigation. `isMainFrame` tells whether
// the page or a frame inside it is navigated.
struct WebViewRequester {
    QUrl page;
    QUrl sender;
    bool isMainFrame = true;
};

class WebViewDelegate {
public:
    virtual ~WebViewDelegate() = default;
    // Asked for every page load and every navigation the page starts (frames included).
    // Answering false drops it; nothing is loaded and no load callbacks follow.
    virtual bool webViewShouldStartLoadWithRequest(WebView* webView, const QUrl& url,
                                                   WebViewNavigationType navigationType,
                                                   const WebViewRequester& requester) {
        Q_UNUSED(webView);
        Q_UNUSED(url);
        Q_UNUSED(navigationType);
        Q_UNUSED(requester);
        return true;
    }
    virtual void webViewDidStartLoad(WebView* webView) { Q_UNUSED(webView); }
    virtual void webViewDidFinishLoad(WebView* webView) { Q_UNUSED(webView); }
    virtual void webViewDidFailLoadWithError(WebView* webView, const QString& error) {
        Q_UNUSED(webView);
        Q_UNUSED(error);
    }
};

// A view showing web content. The browser engine behind it is heavy, so a web view is made
// only for a screen that shows a page (WebView::create) and everything goes with it.
// Certificates are checked as the engine always does. Navigations to schemes the engine does
// not know reach the delegate like any other, so pages can signal the application through
// made-up schemes.
class WebView : public View {
    Q_OBJECT
public:
    using Factory = std::function<WebView*(const QRectF& frame, View* parent)>;
    using ScriptResult = std::function<void(const QVariant& result)>;

    // The engine's web view, or what a test installed with setFactory; null when the engine's
    // module cannot be loaded (WebViewModule).
    static WebView* create(const QRectF& frame, View* parent = nullptr);
    // An empty factory brings the engine back.
    static void setFactory(Factory factory);
    // How many web views exist now (tests check that a closed page released its engine).
    static int liveCount();

    explicit WebView(const QRectF& frame, View* parent = nullptr);
    ~WebView() override;

    WebViewDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(WebViewDelegate* delegate) { m_delegate.reset(delegate); }

    // Loads the address ignoring cached data.
    virtual void loadRequest(const QUrl& url) = 0;
    virtual void stopLoading() = 0;
    virtual bool isLoading() const = 0;
    virtual bool canGoBack() const = 0;
    virtual void goBack() = 0;
    // The address shown now.
    virtual QUrl url() const = 0;
    // Runs the script in the page; the result (when asked for) arrives later, on the main loop.
    virtual void evaluateJavaScript(const QString& script, ScriptResult result = {}) = 0;

    // Empties the cache of responses that every web view of the application shares. A view
    // without a cache of its own has nothing to empty.
    virtual void removeAllCachedResponses() {}

    // Deletes every cookie the application's pages have stored.
    static void deleteAllCookies();

    // Made-up schemes through which pages signal the application. A navigation to one reaches
    // the delegate with the origin of the document that started it (WebViewRequester::sender)
    // beside the page shown: a frame that sends the whole page there is named, not the page.
    // Set before the first web view is made.
    static void setMessageSchemes(const QStringList& schemes);
    static QStringList messageSchemes();

signals:
    // Mirrors the delegate's finish and failure calls, for code that waits on a page.
    void loadFinished(bool ok);

protected:
    // Implementations call these; they reach the delegate.
    bool shouldStartLoad(const QUrl& url, WebViewNavigationType type,
                         const WebViewRequester& requester);
    void didStartLoad();
    void didFinishLoad(bool ok, const QString& error = {});

private:
    ns::Weak<WebViewDelegate> m_delegate;
};

} // namespace ui
