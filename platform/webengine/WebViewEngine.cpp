#include "platform/webengine/WebViewEngine.h"

#include <QResizeEvent>
#include <QWebEngineCookieStore>
#include <QWebEngineHistory>
#include <QWebEngineHttpRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>
#include <deque>

namespace ui {

namespace {

bool g_engineStarted = false;

// A phone's page shows no standing scroll bar, only a thin indicator while it scrolls; the
// engine's overlay scroll bars do just that, where its desktop bar with arrows takes a
// twentieth of a phone-sized page. The engine reads its switches once, as it starts; one the
// user set is kept.
void askForOverlayScrollBars() {
    constexpr const char* kVariable = "QTWEBENGINE_CHROMIUM_FLAGS";
    const QByteArray feature = "OverlayScrollbar";
    const QByteArray key = "--enable-features=";
    QByteArray flags = qgetenv(kVariable);
    if (flags.contains(feature)) return;
    const qsizetype at = flags.indexOf(key);
    if (at >= 0)
        flags.insert(at + key.size(), feature + ',');
    else
        flags += (flags.isEmpty() ? QByteArray() : QByteArray(" ")) + key + feature;
    qputenv(kVariable, flags);
}

// A navigation to a message scheme, let through to learn who started it; `page` is the page
// shown when it was asked for.
struct PendingMessage {
    QUrl url;
    QPointer<WebViewEngine> view;
    WebViewNavigationType type;
    QUrl page;
    bool isMainFrame;
};

// What the engine says about the document asking for a navigation only reaches the scheme's
// handler: a message navigation is let through to it, told to the delegate with that origin,
// and failed there, so nothing is ever loaded. A request nobody navigated for (a picture, a
// script's fetch) is failed without a word.
class MessageSchemeHandler final : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void expect(PendingMessage message) {
        // A navigation the engine dropped before asking its handler leaves an entry; a few are
        // kept, never an ever-growing list.
        if (m_pending.size() >= 64) m_pending.pop_front();
        m_pending.push_back(std::move(message));
    }
    void requestStarted(QWebEngineUrlRequestJob* job) override {
        const QUrl url = job->requestUrl();
        const QUrl initiator = job->initiator();
        job->fail(QWebEngineUrlRequestJob::RequestAborted);
        // The engine starts the request right after it was asked about the navigation: the
        // latest one asked about for this address, of a view still there.
        std::erase_if(m_pending, [](const PendingMessage& m) { return m.view.isNull(); });
        for (auto it = m_pending.rbegin(); it != m_pending.rend(); ++it) {
            if (it->url != url) continue;
            const PendingMessage message = std::move(*it);
            m_pending.erase(std::next(it).base());
            message.view->messageArrived(url, message.type,
                                         {message.page, initiator, message.isMainFrame});
            return;
        }
    }

private:
    std::deque<PendingMessage> m_pending;
};

MessageSchemeHandler* g_messages = nullptr;

// Schemes must be known to the engine before it starts; its handler is the default profile's.
void registerMessageSchemes() {
    for (const QString& name : WebView::messageSchemes()) {
        QWebEngineUrlScheme scheme(name.toLatin1());
        scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
        QWebEngineUrlScheme::registerScheme(scheme);
    }
}

void installMessageHandler() {
    if (WebView::messageSchemes().isEmpty()) return;
    QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
    g_messages = new MessageSchemeHandler(profile);
    for (const QString& name : WebView::messageSchemes())
        profile->installUrlSchemeHandler(name.toLatin1(), g_messages);
}

WebViewNavigationType navigationType(int type) {
    switch (QWebEnginePage::NavigationType(type)) {
    case QWebEnginePage::NavigationTypeLinkClicked:
        return WebViewNavigationType::LinkClicked;
    case QWebEnginePage::NavigationTypeFormSubmitted:
        return WebViewNavigationType::FormSubmitted;
    case QWebEnginePage::NavigationTypeBackForward:
        return WebViewNavigationType::BackForward;
    case QWebEnginePage::NavigationTypeReload:
        return WebViewNavigationType::Reload;
    default:
        return WebViewNavigationType::Other;
    }
}

} // namespace

class WebViewEnginePage final : public QWebEnginePage {
public:
    WebViewEnginePage(WebViewEngine* owner, QObject* parent)
        : QWebEnginePage(QWebEngineProfile::defaultProfile(), parent), m_owner(owner) {
        // Without this the engine drops navigations to unknown schemes before asking.
        settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::AllowAllUnknownUrlSchemes);
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        return m_owner && m_owner->acceptNavigation(url, int(type), isMainFrame);
    }

private:
    QPointer<WebViewEngine> m_owner;
};

WebViewEngine::WebViewEngine(const QRectF& frame, View* parent) : WebView(frame, parent) {
    if (!g_engineStarted) {
        askForOverlayScrollBars();
        registerMessageSchemes();
        installMessageHandler();
    }
    g_engineStarted = true;
    m_view = new QWebEngineView(this);
    m_page = new WebViewEnginePage(this, m_view);
    m_view->setPage(m_page);
    m_view->setGeometry(rect());
    connect(m_page, &QWebEnginePage::loadStarted, this, &WebViewEngine::pageLoadStarted);
    connect(m_page, &QWebEnginePage::loadFinished, this, &WebViewEngine::pageLoadFinished);
}

WebViewEngine::~WebViewEngine() {
    // The page first: it must not outlive the view it renders into.
    delete m_page;
    delete m_view;
}

void WebViewEngine::loadRequest(const QUrl& url) {
    QWebEngineHttpRequest request(url);
    request.setHeader("Cache-Control", "no-cache");
    m_page->load(request);
}

void WebViewEngine::stopLoading() {
    if (m_page) m_page->triggerAction(QWebEnginePage::Stop);
}

bool WebViewEngine::canGoBack() const {
    return m_page && m_page->history()->canGoBack();
}

void WebViewEngine::goBack() {
    // Through the history: the page's Back action is not enabled before a view has drawn.
    if (m_page) m_page->history()->back();
}

QUrl WebViewEngine::url() const {
    return m_page ? m_page->url() : QUrl();
}

void WebViewEngine::evaluateJavaScript(const QString& script, ScriptResult result) {
    if (!m_page) return;
    if (!result) {
        m_page->runJavaScript(script);
        return;
    }
    QPointer<WebViewEngine> guard(this);
    m_page->runJavaScript(script, [guard, result](const QVariant& value) {
        if (guard) result(value);
    });
}

void WebViewEngine::deleteAllCookies() {
    if (g_engineStarted) QWebEngineProfile::defaultProfile()->cookieStore()->deleteAllCookies();
}

void WebViewEngine::resizeEvent(QResizeEvent* event) {
    WebView::resizeEvent(event);
    if (m_view) m_view->setGeometry(rect());
}

// The engine announces a load before it asks about a navigation the page started, and after
// it asks about one the application started. A start is reported once a navigation is
// accepted for it; a start whose navigation is refused, and the failure that follows it,
// are not the page's and are not reported.
bool WebViewEngine::acceptNavigation(const QUrl& url, int type, bool isMainFrame) {
    // The page's address is still that of the page that asks: the one it leaves, when it asks
    // to leave. Whoever navigates, it is the page that a script run in answer reaches.
    const QUrl shown = m_page ? m_page->url() : QUrl();
    // Let through to the scheme's handler, which tells the delegate and fails it there: to the
    // page it is a refused navigation.
    if (g_messages && WebView::messageSchemes().contains(url.scheme())) {
        g_messages->expect({url, this, navigationType(type), shown, isMainFrame});
        if (isMainFrame) {
            m_unclaimedStart = false;
            ++m_refused;
        }
        return true;
    }
    const bool accepted = shouldStartLoad(url, navigationType(type), {shown, {}, isMainFrame});
    if (!isMainFrame) return accepted;
    if (accepted) {
        if (m_unclaimedStart) {
            m_unclaimedStart = false;
            m_loading = true;
            didStartLoad();
        } else {
            m_acceptedAhead = true;
        }
    } else {
        m_unclaimedStart = false;
        ++m_refused;
    }
    return accepted;
}

void WebViewEngine::messageArrived(const QUrl& url, WebViewNavigationType type,
                                   const WebViewRequester& requester) {
    shouldStartLoad(url, type, requester);
}

void WebViewEngine::pageLoadStarted() {
    if (!m_acceptedAhead) {
        m_unclaimedStart = true;
        return;
    }
    m_acceptedAhead = false;
    m_loading = true;
    didStartLoad();
}

void WebViewEngine::pageLoadFinished(bool ok) {
    if (!ok && m_refused > 0) {
        --m_refused;
        return;
    }
    m_unclaimedStart = false;
    m_loading = false;
    didFinishLoad(ok, ok ? QString() : QStringLiteral("the page could not be loaded"));
}

void WebViewEngine::removeAllCachedResponses() {
    // Emptying the engine's cache while it decides a navigation stalls that load; a profile
    // that keeps no responses is the same as one emptied before every load.
    QWebEngineProfile* profile = m_page ? m_page->profile() : nullptr;
    if (profile && profile->httpCacheType() != QWebEngineProfile::NoCache)
        profile->setHttpCacheType(QWebEngineProfile::NoCache);
}

} // namespace ui
