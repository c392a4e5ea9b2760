#pragma once

#include "app/core/ViewControllerToolBar.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/ViewController.h"
#include "widgets/OverlayHUDDelegate.h"

#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVariantMap>

class HTTPRequest;
class OverlayHUD;
struct HTTPError;

namespace ui {
class TextField;
class View;
} // namespace ui

// The base of almost every screen: starts server requests with the session fields and the
// common failure handling, judges their replies (the expired-session alert included, once per
// screen), shows the "完成" bar above the keyboard and shifts a scrolling screen so the field
// being edited stays above the keyboard, and offers a back button.
class ViewController : public ui::ViewController, public OverlayHUDDelegate {
    Q_OBJECT
public:
    static constexpr double kRequestTimeout = 30;
    static constexpr int kSessionExpired = 9999;

    explicit ViewController(QObject* parent = nullptr);
    ~ViewController() override;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // Puts the "header_back" button in the navigation bar when navShowBack allows it; every
    // appearance does on a system before 7.
    void showNavBackItem();

    // A request to the interface, not started: "session" and "num" already added, the common
    // failure handler set. With the loading view the screen shows the loading overlay (one
    // already up goes at once) and a scrolling screen stops scrolling until the overlay hides.
    // The request belongs to the screen: it never calls back after the screen is gone.
    HTTPRequest* requestStartWithKey(const QString& key, bool isNeedLoadingView);
    // The failure handler requests start with: hides the overlay, then "请求超时" for a
    // time-out and "网络连接失败,请检查您的网络设置" for any other failure.
    void commonFailureHandler(const HTTPError& error);
    // Hides the overlay, then judges the reply: the reply (a map) on success ("result" 0 or
    // missing), otherwise an invalid value after the matching alert. Anything but a JSON
    // object counts as no reply ("请求超时"). An expired session (9999) alerts once per
    // screen; its button posts "PushToLoginVeiw".
    QVariant requestFinishedBase(const QVariant& reply);
    // The same judgement, leaving the overlay up.
    QVariant requestFinishedBaseForSuitChange(const QVariant& reply);

    void hideKeyboard();
    void doReturn();
    void toolbarButtonTap();
    // Remembers the field as the one being edited and gives it the keyboard bar.
    bool textFieldShouldBeginEditingBase(ui::TextField* field);

    void keyboardWillShow(const ns::Notification& notification);
    void keyboardWillHide(const ns::Notification& notification);
    // Scrolls a scrolling screen so the edited field's bottom stays above the keyboard, and
    // back to the top when the keyboard hides, with the keyboard's duration and curve.
    void adjustTextViewByKeyboardState(bool showing, const QVariantMap& keyboardInfo);
    // The keyboard curve as animation options: the curve in bits 16 and up for the four known
    // curves, always with begin-from-current-state (4).
    static unsigned animationOptionsForCurve(unsigned curve);

    bool navShowBack() const { return m_navShowBack; }
    void setNavShowBack(bool show) { m_navShowBack = show; }
    bool alertViewIsshow() const { return m_alertViewIsshow; }
    void setAlertViewIsshow(bool shown) { m_alertViewIsshow = shown; }
    ui::View* firstResponderView() const { return m_firstResponderView; }
    void setFirstResponderView(ui::View* view) { m_firstResponderView = view; }
    // Held weakly: it goes when it hides.
    OverlayHUD* baseHud() const;
    void setBaseHud(OverlayHUD* hud);
    ViewControllerToolBar* keyboardToolBar() const { return m_keyboardToolBar; }

protected:
    // A touch that ends on the screen ends editing.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The content height a scrolling root view starts with.
    virtual double scrollContentHeight() const;
    // The height a pushed screen has below the status and navigation bars: the window less
    // 64 points. On every system version: before 7 the view leaves the status bar out, but the
    // bar over it is shorter by as much.
    static double heightBelowBars();
    // How long a request may take, in seconds.
    virtual double requestTimeout() const { return kRequestTimeout; }

private:
    QVariant judgeReply(const QVariant& reply);

    bool m_navShowBack = true;
    bool m_alertViewIsshow = false;
    QPointer<ui::View> m_firstResponderView;
    QPointer<ui::View> m_placeholderResponder; // owned: the empty view made at load
    QPointer<OverlayHUD> m_baseHud;
    QPointer<ViewControllerToolBar> m_keyboardToolBar; // owned
};
