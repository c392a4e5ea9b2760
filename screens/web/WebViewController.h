#pragma once

#include "app/core/ViewController.h"
#include "platform/foundation/Clock.h"
#include "platform/ui/MessageComposeViewController.h"
#include "platform/ui/WebView.h"

#include <QPointer>
#include <QString>
#include <QUrl>
#include <memory>

class AddressBookHelper;
class NetworkReachability;
struct WebBridgeMessage;
namespace ui {
class Button;
}

// The operator's page shown inside the application. Callers instantiate the scene
// ("Main", "WebViewController"), set the complete page address and the title, and push it.
//
// Every address the page tries to load is judged first: one ending in "9999" means the
// session has expired (alert, then the log-in screen); one carrying a bridge call runs a
// native function (WebViewControllerBridge.cpp); neither is ever loaded, and both are heard
// only from the operator server's own pages (webViewShouldStartLoadWithRequest says which).
// Anything else loads, under the loading overlay. The engine's web view exists only while the
// screen does.
class WebViewController : public ViewController,
                          public ui::WebViewDelegate,
                          public ui::MessageComposeViewControllerDelegate {
    Q_OBJECT
public:
    // The operator's payment page loads without the overlay.
    static constexpr const char* kPaymentPagePath = "/UnifiedPay";
    // The longest address a page may ask for (percent-encoded): past it nothing is loaded and
    // no bridge call is read.
    static constexpr qsizetype kMaxAddressBytes = 256 * 1024;
    // How long the page's own request may take before it counts as failed.
    static constexpr qint64 kRequestTimeoutMs = 30000;

    explicit WebViewController(QObject* parent = nullptr);
    ~WebViewController() override;

    QString requestURL() const { return m_requestURL; }
    void setRequestURL(const QString& url) { m_requestURL = url; }
    QString strOfTitle() const { return m_strOfTitle; }
    void setStrOfTitle(const QString& title) { m_strOfTitle = title; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void willMoveToParentViewController(ui::ViewController* parent) override;

    ui::WebView* myWebView() const { return m_webView; }
    // The page's function that receives the answer of the latest bridge call.
    QString strCallBack() const { return m_strCallBack; }
    AddressBookHelper* addressBookHelper() const { return m_addressBookHelper.get(); }
    ui::Button* closeButton() const { return m_closeButton; }
    NetworkReachability* hostReach() const { return m_hostReach.get(); }

    void loadRequest();
    // Runs the script in the page; the result is not waited for.
    void evalJs(const QString& script);
    // The page shown now; another one starts with every page load and every step back.
    quint64 currentPage() const { return m_pageGeneration; }
    // Runs an answer in the page that asked for it (currentPage() then); another page, or
    // the same one loaded again, never gets it.
    void answerPage(quint64 page, const QString& script);
    // The back button: back in the page's history when it has one, else leave the screen.
    void doReturn();
    // The close button.
    void popViewControler();
    void reachabilityChanged(const ns::Notification& notification);
    // "网络连接失败,请检查您的网络设置", without the overlay; its button leaves the screen.
    void showNetworkFailureAlert();
    // Whether an address is the operator's payment page (https, path under /UnifiedPay).
    static bool isPaymentPage(const QString& urlText);
    // Whether a page is of the operator server's own origin: the scheme, host and port of the
    // server base address.
    static bool isOperatorOrigin(const QUrl& page);
    // Deletes the subscriber's cookies: the pages' and the requests' (a phone keeps both in one
    // store). A page does it as it leaves its stack, the drawer menu on log-out.
    static void deleteAllCookies();

    // --- Web view delegate ---
    bool webViewShouldStartLoadWithRequest(ui::WebView* webView, const QUrl& url,
                                           ui::WebViewNavigationType navigationType,
                                           const ui::WebViewRequester& requester) override;
    void webViewDidStartLoad(ui::WebView* webView) override;
    void webViewDidFinishLoad(ui::WebView* webView) override;
    void webViewDidFailLoadWithError(ui::WebView* webView, const QString& error) override;

    // --- The bridge (WebViewControllerBridge.cpp) ---
    // Runs one decoded call; a message that is not a valid call changes nothing.
    void handleBridgeMessage(const QString& messageText);
    void getAllPeoplesAddressInfo(const WebBridgeMessage& message);
    void showAddressBook(const WebBridgeMessage& message);
    void getVersionNumOfAPP(const WebBridgeMessage& message);
    void displaySMSComposerSheetWithPhone(const WebBridgeMessage& message);
    void showTVFriendsView(const WebBridgeMessage& message);
    void showTVFriendCircleView(const WebBridgeMessage& message);
    void mirebShareButtonPressed(const WebBridgeMessage& message);
    void pushToFunctionModuleVC(const WebBridgeMessage& message);
    void pushToTabbarViewController(const WebBridgeMessage& message);

    // Answers the page with the whole address book; a book that cannot be read is as a
    // refusal: no answer.
    void readAllPeoplesFromAddressBook(const QString& callback, quint64 page);
    void addressBookCallBackWithPhoneNO(const QString& callback, const QString& phone,
                                        const QString& name, quint64 page);
    // Shares to Talvo once the thumbnail has arrived or failed (scene 0 chat, 1 timeline).
    void createMessageToReqWithMessage(const QString& argument, int toScene);
    void showInstallAlert();
    void messageToShare(const QString& argument);
    void messageComposeViewController(ui::MessageComposeViewController* controller,
                                      ui::MessageComposeResult didFinishWithResult) override;
    // How long a share waits for its picture before it goes without one.
    static constexpr qint64 kShareImageTimeoutMs = 8000;

    // The page's own request took kRequestTimeoutMs: it ends as a failed load.
    void requestTimedOut();

private:
    void showCloseButton();
    // Stops a load in progress and takes its overlay away.
    void stopLoading();

    QString m_requestURL;
    QString m_strOfTitle;
    QString m_strCallBack;
    QPointer<ui::WebView> m_webView;
    std::unique_ptr<NetworkReachability> m_hostReach;
    std::unique_ptr<AddressBookHelper> m_addressBookHelper;
    QPointer<ui::Button> m_closeButton;
    bool m_appearedOnce = false;
    // The first address, judged before the engine asks about it.
    QUrl m_judgedAhead;
    // Set once the first page has answered; from then on every load empties the cache twice.
    bool m_authenticated = false;
    // Counts the pages loaded; a bridge answer goes only to the page that asked for it.
    quint64 m_pageGeneration = 0;
    // Runs while the page's own request has not ended.
    ns::DelayedCall m_requestTimeout;
    // Taken off its stack last (and the cookies deleted then).
    bool m_leftStack = false;
};
