#include "platform/ui/Keyboard.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/View.h"

#include <QPointer>

namespace ui {

namespace {
bool g_visible = false;
QPointer<View> g_focus;
} // namespace

QRectF Keyboard::endFrame() {
    return {0, 568 - kHeight, 320, kHeight};
}

QVariantMap Keyboard::userInfo() {
    return {{FrameEndUserInfoKey, endFrame()},
            {AnimationDurationUserInfoKey, kAnimationDuration},
            {AnimationCurveUserInfoKey, kAnimationCurve}};
}

void Keyboard::notifyWillShow(View* view) {
    g_visible = true;
    g_focus = view;
    auto& center = ns::NotificationCenter::defaultCenter();
    center.postNotificationName(WillShowNotification, nullptr, userInfo());
    center.postNotificationName(DidShowNotification, nullptr, userInfo());
}

void Keyboard::notifyWillHide() {
    if (!g_visible) return;
    g_visible = false;
    g_focus = nullptr;
    auto& center = ns::NotificationCenter::defaultCenter();
    center.postNotificationName(WillHideNotification, nullptr, userInfo());
    center.postNotificationName(DidHideNotification, nullptr, userInfo());
}

bool Keyboard::isVisible() {
    return g_visible;
}

View* Keyboard::focusView() {
    return g_focus;
}

} // namespace ui
