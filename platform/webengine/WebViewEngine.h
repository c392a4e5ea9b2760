#pragma once

#include "platform/ui/WebView.h"

#include <QPointer>

class QWebEngineView;

namespace ui {

class WebViewEnginePage;

// The web view over the browser engine. The engine's page and its renderer process live
// exactly as long as this view.
class WebViewEngine final : public WebView {
    Q_OBJECT
public:
    explicit WebViewEngine(const QRectF& frame, View* parent = nullptr);
    ~WebViewEngine() override;

    void loadRequest(const QUrl& url) override;
    void stopLoading() override;
    bool isLoading() const override { return m_loading; }
    bool canGoBack() const override;
    void goBack() override;
    QUrl url() const override;
    void evaluateJavaScript(const QString& script, ScriptResult result = {}) override;
    void removeAllCachedResponses() override;

    // Clears the engine's cookie store when the engine has run in this process.
    static void deleteAllCookies();
    // A navigation to a message scheme, with the page shown when it was asked for and the
    // origin of the document that started it.
    void messageArrived(const QUrl& url, WebViewNavigationType type,
                        const WebViewRequester& requester);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class WebViewEnginePage;
    bool acceptNavigation(const QUrl& url, int type, bool isMainFrame);
    void pageLoadStarted();
    void pageLoadFinished(bool ok);

    QPointer<QWebEngineView> m_view;
    QPointer<WebViewEnginePage> m_page;
    bool m_loading = false;
    // Refused navigations still end in a failed load signal; those are not page failures.
    int m_refused = 0;
    bool m_unclaimedStart = false; // a load started, its navigation not yet asked about
    bool m_acceptedAhead = false;  // a navigation accepted, its load not yet started
};

} // namespace ui
