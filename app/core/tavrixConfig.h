#pragma once

#include "app/download/PCConfigDO.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

namespace ui {
class Label;
class TabBarController;
class View;
class ViewController;
} // namespace ui

// Named switches, the session and the interface addresses. Holds no instances.
class tavrixConfig {
public:
    tavrixConfig() = delete;

    // The server base address ends in "/pelvo/"; --server / $TAVRIX_SERVER set it.
    static QString serverBaseAddress();
    static void setServerBaseAddress(const QString& base);
    static QUrl NSAPIURL(const QString& interfaceName);

    static QString userSession();
    static void saveUserSession(const QString& session);

    static bool isOpenGuideView();
    static void setIsOpenGuideView(bool value);
    static bool isOpenSecurenumGuideView();
    static void setIsOpenSecurenumGuideView(bool value);
    static bool isAutoLogin();
    static void setIsAutoLogin(bool value);
    static bool isSavePwd();
    static void setIsSavePwd(bool value);

    static PCConfigDO getIPConfig();
    static void setAppIPConfig(const PCConfigDO& record);
    // Session-cookie property builders: dictionaries of cookie properties, nothing stored.
    static QVariantMap setCookie();
    static QVariantMap setCookieForSession(const QString& session);
    static QVariantMap setCookieWithSessionID(const QString& session);

    static QString formatOfNetworkFlow(double kb);
    static ui::Label* createNilLabelInView(ui::View* view);

    // A "storyboard&identifier" text turned into a new screen; nullptr when malformed or unknown.
    static ui::ViewController* getViewControllerWithString(const QString& route);
    // Scenes that a route from outside the client (a link, a web page) never opens: the
    // start-up router, the guide, the log-in screen and the shell. Opened from there they
    // would log in again or nest a second drawer, tab bar or navigation stack inside a tab.
    static const QStringList& refusedRouteScenes();
    // As getViewControllerWithString, for a route from outside the client: nullptr also for
    // a refused scene, or for any screen that is one of the refused kinds or a container.
    static ui::ViewController* getViewControllerForOutsideRoute(const QString& route);
    // The root scenes of the four main tabs, in tab order; a SchemeRoute host names them.
    static const QStringList& tabRootNames();
    static bool isViewController(const QString& className,
                                 ui::TabBarController* embedInTabBarController);
    static int indexOfViewController(const QString& className,
                                     ui::TabBarController* inTabBarController);
};
