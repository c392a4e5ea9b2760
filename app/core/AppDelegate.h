#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <memory>

#include "app/core/LocalStore.h"
#include "mireb/MirebSDKDelegate.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "talvo/TVApiDelegate.h"

class DrawerContainer;

namespace ui {
class TabBarController;
class ViewController;
class Window;
} // namespace ui

// The application delegate: makes the window with the start-up screen, registers with the
// Talvo and Mireb libraries, routes URLs that open the application and shows share results.
class AppDelegate : public QObject,
                    public ui::ApplicationDelegate,
                    public TVApiDelegate,
                    public MirebSDKDelegate,
                    public ui::AlertViewDelegate {
    Q_OBJECT
public:
    static constexpr const char* kTalvoAppId = "wx5c1e0d93b7a4f268";
    static constexpr const char* kMirebAppKey = "3841907256";
    static constexpr const char* kScheme = "kelvamor";
    // URLs from this source are accepted and dropped.
    static constexpr const char* kIgnoredSource = "jp.app/openwith";

    explicit AppDelegate(QObject* parent = nullptr);
    ~AppDelegate() override;

    // The delegate of the running application, if it is one of these.
    static AppDelegate* sharedDelegate();

    ui::Window* window() const { return m_window.get(); }

    // --- Life cycle ---
    bool applicationDidFinishLaunchingWithOptions(const QVariantMap& options) override;
    void applicationWillTerminate() override;

    // --- URLs that open the application ---
    // The text is kept as given: a URL of our scheme names screens by case-sensitive class
    // names, and its host may hold "&", which a parsed URL would not keep.
    bool openURL(const QString& urlText, const QString& sourceApplication);
    bool applicationOpenURL(const QUrl& url, const QString& sourceApplication) override;
    // Older systems' entry: the libraries only, never our own scheme.
    bool handleOpenURL(const QUrl& url);
    // The scheme and the (percent-decoded, case-kept) host of a URL text.
    static QString schemeOf(const QString& urlText);
    static QString hostOf(const QString& urlText);

    // A SchemeRoute kept until the home page has appeared ("YES"/"NO").
    QString isAwakenByOtherBeforeRunning() const { return m_isAwakenByOtherBeforeRunning; }
    void setIsAwakenByOtherBeforeRunning(const QString& value) {
        m_isAwakenByOtherBeforeRunning = value;
    }
    QString urlOfAwakenByOther() const { return m_urlOfAwakenByOther; }
    void setUrlOfAwakenByOther(const QString& urlText) { m_urlOfAwakenByOther = urlText; }
    // What the home page runs once it has appeared: opens the kept SchemeRoute, once.
    void replayURLOfAwakenByOther(ui::ViewController* home);

    // --- Talvo and Mireb replies ---
    void onReq(const BaseReq& req) override;
    void onResp(const BaseResp& resp) override;
    void didReceiveMirebRequest(const MRBaseRequest& request) override;
    void didReceiveMirebResponse(const MRBaseResponse& response) override;
    QString mrtoken() const { return m_mrtoken; }
    QString mrCurrentUserID() const { return m_mrCurrentUserID; }
    // Alert texts of the share results.
    static QString talvoShareMessage(int errCode);
    static QString mirebShareTitle(int statusCode);

    // --- The local store ---
    LocalStore* managedObjectContext();
    void saveContext();

    // The drawer container on top of the window's root stack, if it is there.
    DrawerContainer* drawerContainer() const;

private:
    bool routeOwnScheme(const QString& urlText);

    std::unique_ptr<ui::Window> m_window;
    std::unique_ptr<LocalStore> m_store;
    QString m_mrtoken;
    QString m_mrCurrentUserID;
    QString m_isAwakenByOtherBeforeRunning = "NO";
    QString m_urlOfAwakenByOther;
};
