#pragma once

#include "platform/foundation/Weak.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariantMap>

namespace ui {

class Window;

// The application delegate's hooks, as the platform calls them.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual bool applicationDidFinishLaunchingWithOptions(const QVariantMap& options) {
        Q_UNUSED(options);
        return true;
    }
    virtual bool applicationOpenURL(const QUrl& url, const QString& sourceApplication) {
        Q_UNUSED(url);
        Q_UNUSED(sourceApplication);
        return false;
    }
    virtual void applicationWillResignActive() {}
    virtual void applicationDidEnterBackground() {}
    virtual void applicationWillEnterForeground() {}
    virtual void applicationDidBecomeActive() {}
    virtual void applicationWillTerminate() {}
};

// The one application object: key window, status bar, network-activity indicator, opening URLs.
class Application : public QObject {
    Q_OBJECT
public:
    enum class StatusBarStyle { Default = 0, LightContent = 1 };

    static Application& sharedApplication();

    Window* keyWindow() const;

    bool isNetworkActivityIndicatorVisible() const { return m_activity; }
    void setNetworkActivityIndicatorVisible(bool visible);
    StatusBarStyle statusBarStyle() const { return m_statusBarStyle; }
    void setStatusBarStyle(StatusBarStyle style, bool animated = false);
    bool isStatusBarHidden() const { return m_statusBarHidden; }
    void setStatusBarHidden(bool hidden, bool animated = false);

    // Through the desktop (ns::UrlOpener).
    bool openURL(const QUrl& url);
    bool canOpenURL(const QUrl& url);

    ApplicationDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(ApplicationDelegate* delegate) { m_delegate.reset(delegate); }

signals:
    void statusBarChanged();
    void networkActivityIndicatorChanged(bool visible);

private:
    Application() = default;
    bool m_activity = false;
    StatusBarStyle m_statusBarStyle = StatusBarStyle::Default;
    bool m_statusBarHidden = false;
    ns::Weak<ApplicationDelegate> m_delegate;
};

} // namespace ui
