#include "app/core/AppDelegate.h"

#include <QDebug>
#include <QRegularExpression>

#include "app/core/DrawerContainer.h"
#include "app/core/tavrixConfig.h"
#include "mireb/MRBaseResponse.h"
#include "mireb/MirebSDK.h"
#include "platform/foundation/Clock.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/Window.h"
#include "talvo/TVApi.h"
#include "talvo/TVApiObject.h"

namespace {

ui::NavigationController* selectedNavigation(ui::TabBarController* tabs) {
    return tabs ? qobject_cast<ui::NavigationController*>(tabs->selectedViewController()) : nullptr;
}

void showAlert(const QString& title, const QString& message, ui::AlertViewDelegate* delegate) {
    (new ui::AlertView(title, message, delegate, "确定"))->show();
}

} // namespace

AppDelegate::AppDelegate(QObject* parent) : QObject(parent) {}

AppDelegate::~AppDelegate() {
    if (ui::Application::sharedApplication().delegate() == this)
        ui::Application::sharedApplication().setDelegate(nullptr);
}

AppDelegate* AppDelegate::sharedDelegate() {
    return dynamic_cast<AppDelegate*>(ui::Application::sharedApplication().delegate());
}

bool AppDelegate::applicationDidFinishLaunchingWithOptions(const QVariantMap&) {
    m_window = std::make_unique<ui::Window>();
    m_window->rootView()->setBackgroundColor(Qt::white);
    // The log-in screen, the guide and the main container are pushed onto this stack later.
    auto* root = qobject_cast<ui::NavigationController*>(
        ui::Storyboard::instantiateViewController("Main", "NavbarViewController"));
    if (!root) root = new ui::NavigationController;
    if (ui::ViewController* start = ui::Storyboard::instantiateViewController("Main", "DefaultVC"))
        root->setViewControllers({start});
    m_window->setRootViewController(root);
    m_window->makeKeyAndVisible();
    ui::Application::sharedApplication().setStatusBarStyle(
        ui::Application::StatusBarStyle::LightContent, true);
    TVApi::registerApp(kTalvoAppId);
    MirebSDK::enableDebugMode(true);
    MirebSDK::registerApp(kMirebAppKey);
    m_isAwakenByOtherBeforeRunning = "NO";
    m_urlOfAwakenByOther = QString();
    return true;
}

void AppDelegate::applicationWillTerminate() {
    saveContext();
}

QString AppDelegate::schemeOf(const QString& urlText) {
    const qsizetype colon = urlText.indexOf(':');
    return colon > 0 ? urlText.left(colon) : QString();
}

QString AppDelegate::hostOf(const QString& urlText) {
    const qsizetype start = urlText.indexOf("://");
    if (start <= 0) return {};
    QString authority = urlText.mid(start + 3);
    const qsizetype end = authority.indexOf(QRegularExpression("[/?#]"));
    if (end >= 0) authority.truncate(end);
    const qsizetype at = authority.lastIndexOf('@');
    if (at >= 0) authority.remove(0, at + 1);
    const qsizetype port = authority.lastIndexOf(':');
    if (port >= 0) authority.truncate(port);
    return QUrl::fromPercentEncoding(authority.toUtf8());
}

bool AppDelegate::openURL(const QString& urlText, const QString& sourceApplication) {
    if (sourceApplication == kIgnoredSource) return true;
    const QUrl url(urlText);
    if (TVApi::handleOpenURL(url, this)) return true;
    if (MirebSDK::handleOpenURL(url, this)) return true;
    if (schemeOf(urlText) != kScheme) return false;
    if (!drawerContainer()) {
        // Too early: the home page opens it once the container is on screen.
        m_isAwakenByOtherBeforeRunning = "YES";
        m_urlOfAwakenByOther = urlText;
        return false;
    }
    return routeOwnScheme(urlText);
}

bool AppDelegate::applicationOpenURL(const QUrl& url, const QString& sourceApplication) {
    return openURL(url.toString(), sourceApplication);
}

bool AppDelegate::handleOpenURL(const QUrl& url) {
    if (TVApi::handleOpenURL(url, this)) return true;
    return MirebSDK::handleOpenURL(url, this);
}

DrawerContainer* AppDelegate::drawerContainer() const {
    if (!m_window) return nullptr;
    auto* root = qobject_cast<ui::NavigationController*>(m_window->rootViewController());
    return root ? dynamic_cast<DrawerContainer*>(root->topViewController()) : nullptr;
}

bool AppDelegate::routeOwnScheme(const QString& urlText) {
    DrawerContainer* container = drawerContainer();
    ui::TabBarController* tabs = container->rightViewController();
    ui::NavigationController* nav = selectedNavigation(tabs);
    if (!nav) return false;
    const QString host = hostOf(urlText);
    const bool isTabRoot = tavrixConfig::isViewController(host, tabs);
    ui::ViewController* screen = nullptr;
    if (!isTabRoot) {
        // A route that names nothing, or a start-up or shell scene, leaves every stack as it
        // was.
        screen = tavrixConfig::getViewControllerForOutsideRoute(host);
        if (!screen) {
            qWarning().noquote() << "no screen for" << urlText;
            return false;
        }
    }
    container->closingAnimation();
    QList<ui::ViewController*> stack = nav->viewControllers();
    if (isTabRoot) {
        tabs->setSelectedIndex(tavrixConfig::indexOfViewController(host, tabs));
        nav->setViewControllers(stack.mid(0, 1), true);
        return true;
    }
    // An earlier screen of the same kind gives way to the new one.
    for (int i = 0; i < stack.size(); ++i) {
        if (stack[i]->metaObject()->inherits(screen->metaObject())) {
            stack = stack.mid(0, i);
            break;
        }
    }
    stack.append(screen);
    nav->setViewControllers(stack, true);
    return true;
}

void AppDelegate::replayURLOfAwakenByOther(ui::ViewController* home) {
    if (m_isAwakenByOtherBeforeRunning != "YES") return;
    m_isAwakenByOtherBeforeRunning = "NO";
    DrawerContainer* container = drawerContainer();
    ui::TabBarController* tabs = container ? container->rightViewController() : nullptr;
    ui::NavigationController* nav = selectedNavigation(tabs);
    if (!nav) return;
    const QList<ui::ViewController*> stack = nav->viewControllers();
    const qsizetype tab = tavrixConfig::tabRootNames().indexOf(hostOf(m_urlOfAwakenByOther));
    if (tab >= 0) {
        tabs->setSelectedIndex(int(tab));
        nav->setViewControllers(stack.mid(0, 1), true);
        return;
    }
    QPointer<ui::ViewController> guard(home);
    ns::performAfter(0, this, [this, guard] {
        if (!guard || !guard->navigationController()) return;
        if (ui::ViewController* screen =
                tavrixConfig::getViewControllerForOutsideRoute(hostOf(m_urlOfAwakenByOther)))
            guard->navigationController()->pushViewController(screen, true);
    });
}

void AppDelegate::onReq(const BaseReq&) {
    // Requests for content from Talvo (get or show a message) are not served.
}

QString AppDelegate::talvoShareMessage(int errCode) {
    if (errCode == BaseResp::kSuccess) return "发送成功";
    if (errCode == BaseResp::kUserCancel) return "发送取消";
    return "发送失败";
}

void AppDelegate::onResp(const BaseResp& resp) {
    if (dynamic_cast<const SendMessageToTVResp*>(&resp))
        showAlert(QString(), talvoShareMessage(resp.errCode()), this);
}

void AppDelegate::didReceiveMirebRequest(const MRBaseRequest&) {}

QString AppDelegate::mirebShareTitle(int statusCode) {
    switch (statusCode) {
    case MRBaseResponse::Success:
        return "分享成功";
    case MRBaseResponse::UserCancel:
    case MRBaseResponse::Unknown:
        return "分享取消";
    case MRBaseResponse::SentFail:
        return "发送失败";
    case MRBaseResponse::UserCancelInstall:
        return "取消安装米瑞客户端";
    case MRBaseResponse::ShareInSDKFailed:
        return "分享失败";
    default:
        return QString();
    }
}

void AppDelegate::didReceiveMirebResponse(const MRBaseResponse& response) {
    const auto* share = dynamic_cast<const MRSendMessageToMirebResponse*>(&response);
    if (!share) return;
    if (const MRAuthorizeResponse* auth = share->authResponse()) {
        if (!auth->accessToken().isNull()) m_mrtoken = auth->accessToken();
        if (!auth->userID().isNull()) m_mrCurrentUserID = auth->userID();
    }
    showAlert(mirebShareTitle(share->statusCode()), QString(), nullptr);
}

LocalStore* AppDelegate::managedObjectContext() {
    if (!m_store) m_store = std::make_unique<LocalStore>();
    // A store that cannot be opened leaves no context, and nothing else in the application
    // depends on it.
    return m_store->persistentStoreCoordinator() ? m_store.get() : nullptr;
}

void AppDelegate::saveContext() {
    if (LocalStore* store = managedObjectContext()) store->saveContext();
}
