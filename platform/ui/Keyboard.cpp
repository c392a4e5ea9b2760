#include "platform/ui/Keyboard.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/View.h"

#include <QPointer>
#include <algorithm>

namespace ui {

namespace {
bool g_visible = false;
QPointer<View> g_focus;
double g_accessoryHeight = 0;
} // namespace

QRectF Keyboard::endFrame(double accessoryHeight) {
    const double height = kHeight + std::max(0.0, accessoryHeight);
    return {0, 568 - height, 320, height};
}

QVariantMap Keyboard::userInfo(double accessoryHeight) {
    return {{FrameEndUserInfoKey, endFrame(accessoryHeight)},
            {AnimationDurationUserInfoKey, kAnimationDuration},
            {AnimationCurveUserInfoKey, kAnimationCurve}};
}

void Keyboard::notifyWillShow(View* view, const View* accessory) {
    g_visible = true;
    g_focus = view;
    g_accessoryHeight = accessory ? accessory->frame().height() : 0;
    auto& center = ns::NotificationCenter::defaultCenter();
    center.postNotificationName(WillShowNotification, nullptr, userInfo(g_accessoryHeight));
    center.postNotificationName(DidShowNotification, nullptr, userInfo(g_accessoryHeight));
}

void Keyboard::notifyWillHide() {
    if (!g_visible) return;
    g_visible = false;
    g_focus = nullptr;
    auto& center = ns::NotificationCenter::defaultCenter();
    const QVariantMap info = userInfo(g_accessoryHeight);
    g_accessoryHeight = 0;
    center.postNotificationName(WillHideNotification, nullptr, info);
    center.postNotificationName(DidHideNotification, nullptr, info);
}

bool Keyboard::isVisible() {
    return g_visible;
}

QRectF Keyboard::frame() {
    return g_visible ? endFrame(g_accessoryHeight) : QRectF();
}

View* Keyboard::focusView() {
    return g_focus;
}

} // namespace ui
