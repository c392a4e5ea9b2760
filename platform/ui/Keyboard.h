#pragma once

#include <QRectF>
#include <QString>
#include <QVariantMap>

namespace ui {

class View;

// The phone keyboard's notifications. A desktop has no soft keyboard, so a text field taking or
// losing focus posts what the phone would, with a keyboard of 216 points at the bottom of the
// 568-point screen; screens shift their content from these alone. As on the phone, the frame
// they carry includes the field's input accessory view shown on top of the keyboard (260
// points with the 44-point "完成" bar), so what is shifted clear of it is clear of the bar too.
class Keyboard {
public:
    Keyboard() = delete;

    static inline const QString WillShowNotification =
        QStringLiteral("UIKeyboardWillShowNotification");
    static inline const QString DidShowNotification =
        QStringLiteral("UIKeyboardDidShowNotification");
    static inline const QString WillHideNotification =
        QStringLiteral("UIKeyboardWillHideNotification");
    static inline const QString DidHideNotification =
        QStringLiteral("UIKeyboardDidHideNotification");
    static inline const QString FrameEndUserInfoKey =
        QStringLiteral("UIKeyboardFrameEndUserInfoKey");
    static inline const QString AnimationDurationUserInfoKey =
        QStringLiteral("UIKeyboardAnimationDurationUserInfoKey");
    static inline const QString AnimationCurveUserInfoKey =
        QStringLiteral("UIKeyboardAnimationCurveUserInfoKey");

    static constexpr double kHeight = 216;
    static constexpr double kAnimationDuration = 0.25;
    static constexpr int kAnimationCurve = 7;

    // The keyboard's frame in screen points when shown, with an accessory view of that height
    // on top.
    static QRectF endFrame(double accessoryHeight = 0);
    // The user info every keyboard notification carries.
    static QVariantMap userInfo(double accessoryHeight = 0);

    // Posts Will- then DidShow. Called again when focus moves to another field, as the phone
    // does; view is the field that took focus, accessory the view it shows above the keyboard
    // (if any).
    static void notifyWillShow(View* view, const View* accessory = nullptr);
    // Posts Will- then DidHide, only while the keyboard is up.
    static void notifyWillHide();
    static bool isVisible();
    // The frame last shown, accessory included; empty while the keyboard is down.
    static QRectF frame();
    // The field that last took focus while the keyboard is up.
    static View* focusView();
};

} // namespace ui
