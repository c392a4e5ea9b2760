#pragma once

#include <QString>
#include <QVariant>

class OverlayHUD;
class OverlayHUDDelegate;

namespace ui {
class View;
}

// The application's standard overlays, made on top of a view and returned (held by the view;
// keep a QPointer to hide one later). Holds no instances.
class BFHudUtils {
public:
    BFHudUtils() = delete;

    // A loading overlay: empty title, the text below a spinner, square, dimmed, fading, up for
    // at least 0.3 s once shown; shown at once. It stays until hidden.
    static OverlayHUD* common(ui::View* view, const QString& labelText,
                              OverlayHUDDelegate* delegate);
    static OverlayHUD* login(ui::View* view, OverlayHUDDelegate* delegate); // "登录中..."
    static OverlayHUD* loading(ui::View* view, OverlayHUDDelegate* delegate); // "加载中,请稍后..."
    static OverlayHUD* submiting(ui::View* view, OverlayHUDDelegate* delegate);

    // A text-only message that hides itself after 2 s. The delegate is not attached.
    static OverlayHUD* showText(const QString& text, ui::View* view, OverlayHUDDelegate* delegate);
    // The text below a spinner until the caller hides it.
    static OverlayHUD* show(const QString& text, ui::View* view, OverlayHUDDelegate* delegate);
    // The text below a picture: 0 "indicator_ok", 1 "indicator_error", 2 "indicator_time",
    // 3 "indicator_th"; any other number shows the text alone.
    static OverlayHUD* cusIndicator(const QString& text, ui::View* view,
                                    OverlayHUDDelegate* delegate, int indicator);
    // The same, hidden after 1 s whatever the delay asked.
    static OverlayHUD* cusIndicatorHiddenDelay(const QString& text, ui::View* view,
                                               OverlayHUDDelegate* delegate, int indicator,
                                               double hiddenDelay);
    // A short result from a reply's "state": the success text for 1, else the error text
    // ("操作失败" when none is given); nothing for a missing or empty reply. Gone after 1.2 s.
    static OverlayHUD* showCommonWithRequest(const QVariant& reply, ui::View* view,
                                             OverlayHUDDelegate* delegate, const QString& success,
                                             const QString& error);

    // The text showCommonWithRequest chooses.
    static QString commonText(const QVariant& reply, const QString& success, const QString& error);
};
