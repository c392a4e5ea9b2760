#pragma once

#include "platform/ui/WebView.h"

#include <QList>
#include <QStringList>

namespace ui {

// A web view without an engine, for tests of the screens that hold one. Loads stay pending
// until the test finishes or fails them; navigations the page would start are made with
// navigate(); scripts are recorded, not run. Install it with WebViewFake::ScopedInstall.
class WebViewFake final : public WebView {
    Q_OBJECT
public:
    class ScopedInstall {
    public:
        ScopedInstall();
        ~ScopedInstall();
        ScopedInstall(const ScopedInstall&) = delete;
        ScopedInstall& operator=(const ScopedInstall&) = delete;
    };

    explicit WebViewFake(const QRectF& frame, View* parent = nullptr);
    ~WebViewFake() override;

    // The newest fake alive, if any.
    static WebViewFake* last();
    // How many times the application deleted the cookies while a fake was installed.
    static int cookieDeletions();
    static void noteCookieDeletion();

    void loadRequest(const QUrl& url) override;
    void stopLoading() override;
    bool isLoading() const override { return m_loading; }
    bool canGoBack() const override { return m_history.size() > 1; }
    void goBack() override;
    QUrl url() const override { return m_history.isEmpty() ? QUrl() : m_history.last(); }
    void evaluateJavaScript(const QString& script, ScriptResult result = {}) override;
    void removeAllCachedResponses() override { ++m_cacheClears; }

    enum class Frame { Main, Inner };
    // The page shown now (the last one loaded, else the first one loading) asks to go to url (a
    // link, a script), itself or from a frame inside it: the delegate decides; an accepted
    // navigation of the page starts loading (a frame's loads in the frame). Returns whether it
    // was accepted. `sender` is the origin of the document that started a navigation to a
    // message scheme (WebView::setMessageSchemes), as the engine names it: a frame's own, also
    // when the frame sends the whole page; empty, the page shown (which also sends through a
    // frame of its own).
    bool navigate(const QUrl& url, WebViewNavigationType type = WebViewNavigationType::LinkClicked,
                  Frame frame = Frame::Main, const QUrl& sender = {});
    // Ends the pending load.
    void finishLoad(bool ok = true);

    QList<QUrl> requestedLoads() const { return m_requested; }
    QStringList scripts() const { return m_scripts; }
    int stopCount() const { return m_stops; }
    int cacheClears() const { return m_cacheClears; }

private:
    bool m_loading = false;
    QUrl m_pending;
    QList<QUrl> m_history;
    QList<QUrl> m_requested;
    QStringList m_scripts;
    int m_stops = 0;
    int m_cacheClears = 0;
};

} // namespace ui
