#include "widgets/ActivityIndicator.h"

#include "widgets/SVProgressHUD.h"

namespace {
constexpr double kSplashSeconds = 1.3;
constexpr double kImageSeconds = 1.0;
} // namespace

void ActivityIndicator::splash(int type, const QString& andMsg, unsigned maskType) {
    SVProgressHUD* hud = SVProgressHUD::sharedView();
    switch (type) {
    case StatusWithSpinner:
        SVProgressHUD::showWithStatusMaskType(andMsg, maskType);
        hud->hideAfterDuration(kSplashSeconds);
        break;
    case Error:
        hud->showImage(SVProgressHUD::errorImage(), andMsg, kImageSeconds, maskType);
        break;
    case Success:
        hud->showImage(SVProgressHUD::successImage(), andMsg, kImageSeconds, maskType);
        break;
    default:
        SVProgressHUD::showWithMaskType(maskType);
        hud->hideAfterDuration(kSplashSeconds);
        break;
    }
}

void ActivityIndicator::display(int type, const QString& andMsg, unsigned maskType) {
    SVProgressHUD* hud = SVProgressHUD::sharedView();
    switch (type) {
    case StatusWithSpinner:
        SVProgressHUD::showWithStatusMaskType(andMsg, maskType);
        break;
    case Error:
        hud->showImageNoDuration(SVProgressHUD::errorImage(), andMsg, maskType);
        break;
    case Success:
        hud->showImageNoDuration(SVProgressHUD::successImage(), andMsg, maskType);
        break;
    default:
        SVProgressHUD::showWithMaskType(maskType);
        break;
    }
}

void ActivityIndicator::splash(int type, const QString& andMsg) {
    splash(type, andMsg, SVProgressHUD::None);
}

void ActivityIndicator::display(int type, const QString& andMsg) {
    display(type, andMsg, SVProgressHUD::None);
}

void ActivityIndicator::hideAfterDelay(double seconds) {
    SVProgressHUD::sharedView()->hideAfterDuration(seconds);
}

void ActivityIndicator::hide() {
    SVProgressHUD::dismiss();
}
