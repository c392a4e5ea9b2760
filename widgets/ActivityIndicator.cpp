#include "widgets/ActivityIndicator.h"

#include "widgets/StatusOverlay.h"

namespace {
constexpr double kSplashSeconds = 1.3;
constexpr double kImageSeconds = 1.0;
} // namespace

void ActivityIndicator::splash(int type, const QString& andMsg, unsigned maskType) {
    StatusOverlay* hud = StatusOverlay::sharedView();
    switch (type) {
    case StatusWithSpinner:
        StatusOverlay::showWithStatusMaskType(andMsg, maskType);
        hud->hideAfterDuration(kSplashSeconds);
        break;
    case Error:
        hud->showImage(StatusOverlay::errorImage(), andMsg, kImageSeconds, maskType);
        break;
    case Success:
        hud->showImage(StatusOverlay::successImage(), andMsg, kImageSeconds, maskType);
        break;
    default:
        StatusOverlay::showWithMaskType(maskType);
        hud->hideAfterDuration(kSplashSeconds);
        break;
    }
}

void ActivityIndicator::display(int type, const QString& andMsg, unsigned maskType) {
    StatusOverlay* hud = StatusOverlay::sharedView();
    switch (type) {
    case StatusWithSpinner:
        StatusOverlay::showWithStatusMaskType(andMsg, maskType);
        break;
    case Error:
        hud->showImageNoDuration(StatusOverlay::errorImage(), andMsg, maskType);
        break;
    case Success:
        hud->showImageNoDuration(StatusOverlay::successImage(), andMsg, maskType);
        break;
    default:
        StatusOverlay::showWithMaskType(maskType);
        break;
    }
}

void ActivityIndicator::splash(int type, const QString& andMsg) {
    splash(type, andMsg, StatusOverlay::None);
}

void ActivityIndicator::display(int type, const QString& andMsg) {
    display(type, andMsg, StatusOverlay::None);
}

void ActivityIndicator::hideAfterDelay(double seconds) {
    StatusOverlay::sharedView()->hideAfterDuration(seconds);
}

void ActivityIndicator::hide() {
    StatusOverlay::dismiss();
}
