#include "platform/ui/Application.h"

#include "platform/foundation/UrlOpener.h"
#include "platform/ui/Window.h"

namespace ui {

Application& Application::sharedApplication() {
    static Application* app = new Application; // lives for the process, like the platform's
    return *app;
}

Window* Application::keyWindow() const {
    return Window::keyWindow();
}

void Application::setNetworkActivityIndicatorVisible(bool visible) {
    if (visible == m_activity) return;
    m_activity = visible;
    emit networkActivityIndicatorChanged(visible);
}

void Application::setStatusBarStyle(StatusBarStyle style, bool animated) {
    Q_UNUSED(animated);
    if (style == m_statusBarStyle) return;
    m_statusBarStyle = style;
    emit statusBarChanged();
}

void Application::setStatusBarHidden(bool hidden, bool animated) {
    Q_UNUSED(animated);
    if (hidden == m_statusBarHidden) return;
    m_statusBarHidden = hidden;
    emit statusBarChanged();
}

bool Application::openURL(const QUrl& url) {
    return url.isValid() && ns::UrlOpener::openURL(url);
}

bool Application::canOpenURL(const QUrl& url) {
    return url.isValid() && ns::UrlOpener::canOpenURL(url);
}

} // namespace ui
