#include "screens/web/WebViewController.h"

#include "app/core/AlertTexts.h"
#include "app/core/BFHudUtils.h"
#include "app/core/HTTPRequest.h"
#include "app/core/NetworkReachability.h"
#include "app/core/NotificationNames.h"
#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/NetworkActivity.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Storyboard.h"
#include "screens/web/AddressBookHelper.h"
#include "screens/web/WebBridgeMessage.h"
#include "widgets/OverlayHUD.h"

#include <QDebug>
#include <utility>

TAVRIX_REGISTER_SCENE("Main", "WebViewController", WebViewController);

namespace {

// A clear bar button showing a picture.
ui::Button* barButton(const QSizeF& size, const QString& image, std::function<void()> action) {
    auto* button = new ui::Button(QRectF(QPointF(), size));
    button->setBackgroundColor(Qt::transparent);
    button->setBackgroundImage(ui::imageNamed(image));
    button->addAction(ui::Control::TouchUpInside, std::move(action));
    return button;
}

} // namespace

WebViewController::WebViewController(QObject* parent) : ViewController(parent) {}

WebViewController::~WebViewController() {
    ns::NotificationCenter::defaultCenter().removeObserver(this);
    // Gone with its container (a log-in replacing the shell) rather than taken off its stack:
    // the pages' cookies go all the same, so the next subscriber's page starts without them.
    // The requests' are the next subscriber's by then, set by the log-in just made.
    if (!m_leftStack) ui::WebView::deleteAllCookies();
    // The engine goes with the screen.
    delete m_webView;
}

void WebViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    setNavShowBack(false);
    navigationItem()->setTitle(m_strOfTitle);
    const QString back = PublicFunction::isIOS7OrLater() ? QStringLiteral("header_back2")
                                                         : QStringLiteral("header_back");
    navigationItem()->setLeftBarButtonItem(
        new ui::BarButtonItem(barButton(QSizeF(15, 21), back, [this] { doReturn(); })));

    ui::View* root = view();
    // Calls arrive by navigations to the marker's scheme; the engine is to say who sent each.
    ui::WebView::setMessageSchemes({QString::fromLatin1(WebBridgeMessage::kMarker).chopped(1)});
    m_webView = ui::WebView::create(root->bounds(), root);
    if (!m_webView) {
        // The browser engine could not be loaded: the page is as unreachable as offline.
        showNetworkFailureAlert();
        return;
    }
    m_webView->setDelegate(this);
    // The screen gets its place under the bar (and above the tab bar) only once pushed, and a
    // new one on every resize: the page fills exactly what is visible, or its end is
    // unreachable.
    connect(root, &ui::View::frameChanged, m_webView, [this] {
        if (m_webView) m_webView->setFrame(view()->bounds());
    });
    loadRequest();
}

void WebViewController::loadRequest() {
    if (PublicFunction::isEmpty(m_requestURL) || !m_webView) return;
    // The first address is judged at once, as the page's own navigations are, so the overlay
    // is up before the engine starts; when the engine asks about it, it has been judged. It
    // is loaded directly: the engine checks the server's certificate as for any page.
    // The application asks for it, with the address's own standing: an address of the
    // operator's server may signal an expired session, no other.
    const QUrl url(m_requestURL);
    if (!webViewShouldStartLoadWithRequest(m_webView, url, ui::WebViewNavigationType::Other,
                                           {url, {}, true}))
        return;
    m_judgedAhead = url;
    m_webView->loadRequest(url);
    m_requestTimeout.start(kRequestTimeoutMs, this, [this] { requestTimedOut(); });
}

void WebViewController::requestTimedOut() {
    // As any failed load: the load stops, its overlay goes, and nothing is said.
    if (m_webView && m_webView->isLoading()) m_webView->stopLoading();
    webViewDidFailLoadWithError(m_webView, QStringLiteral("timed out"));
}

void WebViewController::evalJs(const QString& script) {
    if (m_webView) m_webView->evaluateJavaScript(script);
}

void WebViewController::answerPage(quint64 page, const QString& script) {
    if (page == m_pageGeneration) evalJs(script);
}

bool WebViewController::isPaymentPage(const QString& urlText) {
    const QUrl url(urlText);
    return url.scheme() == QLatin1String("https") &&
           url.path().startsWith(QLatin1String(kPaymentPagePath));
}

bool WebViewController::isOperatorOrigin(const QUrl& page) {
    const QUrl server(tavrixConfig::serverBaseAddress());
    const auto port = [](const QUrl& u) {
        return u.port(u.scheme() == QLatin1String("https")  ? 443
                      : u.scheme() == QLatin1String("http") ? 80
                                                            : -1);
    };
    return page.isValid() && !page.host().isEmpty() && page.scheme() == server.scheme() &&
           page.host() == server.host() && port(page) == port(server);
}

namespace {

// An address reduced to its origin, without the path and query (they carry the session).
QString originText(const QUrl& url) {
    const QString origin = url.adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath |
                                        QUrl::RemoveQuery | QUrl::RemoveFragment)
                               .toString();
    return origin.isEmpty() ? QStringLiteral("(no page)") : origin;
}

// Where a refused call came from: the document that sent it (the page, when the engine does
// not name another), whether a frame was navigated, and the page shown when that is another.
QString originOf(const ui::WebViewRequester& requester) {
    const QString page = originText(requester.page);
    const QString sender = requester.sender.isEmpty() ? page : originText(requester.sender);
    QString origin = sender;
    if (!requester.isMainFrame) origin += QStringLiteral(" in a frame");
    if (sender != page) origin += QStringLiteral(" on a page of ") + page;
    return origin;
}

} // namespace

bool WebViewController::webViewShouldStartLoadWithRequest(ui::WebView*, const QUrl& url,
                                                          ui::WebViewNavigationType,
                                                          const ui::WebViewRequester& requester) {
    if (!m_judgedAhead.isEmpty() && url == std::exchange(m_judgedAhead, QUrl())) return true;
    const QByteArray encoded = url.toEncoded();
    // No page needs an address this long; a bridge call this long would only cost time.
    if (encoded.size() > kMaxAddressBytes) {
        qWarning().noquote() << "web page: refused an address of" << encoded.size() << "bytes";
        return false;
    }
    const QString text = QUrl::fromPercentEncoding(encoded);
    const bool expired = text.endsWith(QLatin1String("9999"));
    // Only the operator's own pages speak to the application: another site's page or frame
    // neither calls a native function nor logs the subscriber out. Such an address is not loaded
    // either. In the bridge's own scheme the engine names the document that sent it: it and the
    // page shown, which an answer reaches, must both be the operator's, whichever frame is
    // navigated (a page may call through a hidden frame of its own; an operator page framed by
    // another site must not hand that site an answer). Elsewhere the engine names no sender: a
    // frame the subscriber clicks can send the whole page to an ordinary address, which then
    // looks like the page's own. So a call counts only in the bridge's scheme, and the expired
    // sign outside it only as the operator page's own navigation to an address of the operator's.
    const bool call = WebBridgeMessage::isBridgeCall(text);
    const bool inScheme = text.startsWith(QLatin1String(WebBridgeMessage::kMarker));
    const bool sentByOwn = isOperatorOrigin(requester.sender) && isOperatorOrigin(requester.page);
    const bool own = requester.isMainFrame && isOperatorOrigin(requester.page);
    const bool carried = call && !inScheme;
    const bool foreignSign = expired && !inScheme && !isOperatorOrigin(url);
    const bool heard = inScheme ? sentByOwn : own && !carried && !foreignSign;
    if ((expired || call) && !heard) {
        qWarning().noquote() << "web page: ignored"
                             << (carried   ? "a bridge call inside an ordinary address"
                                 : expired ? "an expired-session sign"
                                           : "a bridge call")
                             << "from" << originOf(requester);
        return false;
    }
    if (expired) {
        auto* alert =
            new ui::AlertView(QStringLiteral("提示"), QStringLiteral("用户认证失败，请先登陆！"),
                              nullptr, QStringLiteral("确定"));
        alert->setCallback([](ui::AlertView*, int) {
            ns::NotificationCenter::defaultCenter().postNotificationName(
                notification::kPushToLoginVeiw);
        });
        alert->show();
        setAlertViewIsshow(true);
        return false;
    }
    if (WebBridgeMessage::isBridgeCall(text)) {
        handleBridgeMessage(text);
        return false;
    }
    OverlayHUD* hud = baseHud();
    if ((!hud || !hud->isDescendantOf(view())) && !isPaymentPage(text))
        setBaseHud(BFHudUtils::loading(view(), this));
    // A page never gets a stale copy: the shared cache is emptied for every load, and once
    // more after the first page has answered.
    m_webView->removeAllCachedResponses();
    if (m_authenticated) m_webView->removeAllCachedResponses();
    return true;
}

void WebViewController::webViewDidStartLoad(ui::WebView*) {
    // Answers still on their way belong to the page being left.
    ++m_pageGeneration;
    ns::NetworkActivity::setVisible(true);
}

void WebViewController::webViewDidFinishLoad(ui::WebView*) {
    m_requestTimeout.cancel();
    m_authenticated = true;
    if (OverlayHUD* hud = baseHud()) hud->hide(true);
    ns::NetworkActivity::setVisible(false);
}

void WebViewController::webViewDidFailLoadWithError(ui::WebView*, const QString&) {
    m_requestTimeout.cancel();
    // A failed page shows no message of its own.
    if (OverlayHUD* hud = baseHud()) hud->hide(true);
    ns::NetworkActivity::setVisible(false);
}

void WebViewController::doReturn() {
    if (m_webView && m_webView->canGoBack()) {
        ++m_pageGeneration;
        m_webView->goBack();
        showCloseButton();
        return;
    }
    popViewControler();
}

void WebViewController::showCloseButton() {
    if (m_closeButton) return;
    const QString close = PublicFunction::isIOS7OrLater() ? QStringLiteral("NavLeftcloseButton")
                                                          : QStringLiteral("NavLeftcloseButton1");
    m_closeButton = barButton(QSizeF(22, 21), close, [this] { popViewControler(); });
    navigationItem()->setRightBarButtonItem(new ui::BarButtonItem(m_closeButton));
}

void WebViewController::popViewControler() {
    if (ui::NavigationController* nav = navigationController())
        nav->popViewControllerAnimated(true);
}

void WebViewController::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    // Coming back over a page still loading stops it; the first appearance keeps the load
    // that viewDidLoad started.
    if (m_appearedOnce) stopLoading();
    m_appearedOnce = true;
    auto& center = ns::NotificationCenter::defaultCenter();
    center.removeObserver(this, QString::fromLatin1(kReachabilityChangedNotification));
    center.addObserver(this, QString::fromLatin1(kReachabilityChangedNotification), nullptr,
                       [this](const ns::Notification& n) { reachabilityChanged(n); });
    m_hostReach = NetworkReachability::reachabilityWithHostName(
        QUrl(tavrixConfig::serverBaseAddress()).host());
    if (m_hostReach) m_hostReach->startNotifier();
}

void WebViewController::reachabilityChanged(const ns::Notification& notification) {
    const auto* reach = qobject_cast<const NetworkReachability*>(notification.object);
    if (!reach || reach->currentReachabilityStatus() != NotReachable) return;
    showNetworkFailureAlert();
}

void WebViewController::showNetworkFailureAlert() {
    if (OverlayHUD* hud = baseHud()) hud->hide(true);
    auto* alert = new ui::AlertView(AlertTexts::title(), AlertTexts::networkFailed(), nullptr,
                                    QString(), {QStringLiteral("确定")});
    QPointer<WebViewController> guard(this);
    alert->setCallback([guard](ui::AlertView*, int) {
        if (guard) guard->popViewControler();
    });
    alert->show();
}

void WebViewController::stopLoading() {
    m_requestTimeout.cancel();
    // A stopped load may never report its end: the indicator and the overlay go with it.
    if (m_webView && m_webView->isLoading()) {
        m_webView->stopLoading();
        ns::NetworkActivity::setVisible(false);
    }
    if (OverlayHUD* hud = baseHud()) hud->hide(false);
}

void WebViewController::viewWillDisappear(bool animated) {
    stopLoading();
    ns::NetworkActivity::setVisible(false);
    ns::NotificationCenter::defaultCenter().removeObserver(
        this, QString::fromLatin1(kReachabilityChangedNotification));
    if (m_hostReach) m_hostReach->stopNotifier();
    ViewController::viewWillDisappear(animated);
}

void WebViewController::willMoveToParentViewController(ui::ViewController* parent) {
    ViewController::willMoveToParentViewController(parent);
    // Covered by the picker, the composer or a pushed screen, the page keeps its cookies;
    // taken off the stack, the next page starts without any.
    m_leftStack = !parent;
    if (!parent) deleteAllCookies();
}

void WebViewController::deleteAllCookies() {
    ui::WebView::deleteAllCookies();
    HTTPRequest::clearCookies();
}
