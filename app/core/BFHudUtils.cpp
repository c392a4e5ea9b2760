#include "app/core/BFHudUtils.h"

#include "app/categories/BFDicUtils.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "widgets/OverlayHUD.h"

namespace {

constexpr double kTextHideDelay = 2.0;
constexpr double kIndicatorHideDelay = 1.0;
constexpr double kCommonHideDelay = 1.2;
constexpr float kLoadingMinShowTime = 0.3f;

bool isEmptyReply(const QVariant& reply) {
    if (!reply.isValid() || reply.isNull()) return true;
    if (ns::Values::isMap(reply)) return reply.toMap().isEmpty();
    if (ns::Values::isList(reply)) return reply.toList().isEmpty();
    return false;
}

OverlayHUD* addedTo(ui::View* view) {
    auto* hud = new OverlayHUD(view);
    if (view) view->addSubview(hud);
    return hud;
}

} // namespace

OverlayHUD* BFHudUtils::common(ui::View* view, const QString& labelText,
                               OverlayHUDDelegate* delegate) {
    OverlayHUD* hud = addedTo(view);
    hud->setLabelText(QString());
    hud->setDelegate(delegate);
    hud->setSquare(true);
    hud->setDetailsLabelText(labelText);
    hud->setAnimationType(OverlayHUD::kAnimationFade);
    hud->setDimBackground(true);
    hud->setMinShowTime(kLoadingMinShowTime);
    hud->show(false);
    return hud;
}

OverlayHUD* BFHudUtils::login(ui::View* view, OverlayHUDDelegate* delegate) {
    return common(view, QStringLiteral("登录中..."), delegate);
}

OverlayHUD* BFHudUtils::loading(ui::View* view, OverlayHUDDelegate* delegate) {
    return common(view, QStringLiteral("加载中,请稍后..."), delegate);
}

OverlayHUD* BFHudUtils::submiting(ui::View* view, OverlayHUDDelegate* delegate) {
    return common(view, QStringLiteral("提交中,请稍后..."), delegate);
}

OverlayHUD* BFHudUtils::showText(const QString& text, ui::View* view, OverlayHUDDelegate*) {
    OverlayHUD* hud = addedTo(view);
    hud->setMode(OverlayHUD::kModeText);
    hud->setDetailsLabelText(text);
    hud->setSquare(false);
    hud->show(true);
    hud->hideAfterDelay(true, kTextHideDelay);
    return hud;
}

OverlayHUD* BFHudUtils::show(const QString& text, ui::View* view, OverlayHUDDelegate* delegate) {
    OverlayHUD* hud = addedTo(view);
    hud->setLabelText(QString());
    hud->setDelegate(delegate);
    hud->setDetailsLabelText(text);
    hud->setSquare(true);
    hud->show(true);
    return hud;
}

OverlayHUD* BFHudUtils::cusIndicator(const QString& text, ui::View* view,
                                     OverlayHUDDelegate* delegate, int indicator) {
    static const char* const kPictures[] = {"indicator_ok", "indicator_error", "indicator_time",
                                            "indicator_th"};
    OverlayHUD* hud = addedTo(view);
    hud->setMode(OverlayHUD::kModeCustomView);
    hud->setLabelText(QString());
    hud->setDelegate(delegate);
    hud->setDetailsLabelText(text);
    if (indicator >= 0 && indicator < int(std::size(kPictures)))
        hud->setCustomView(
            new ui::ImageView(ui::imageNamed(QString::fromLatin1(kPictures[indicator]))));
    else
        hud->setCustomView(nullptr);
    hud->setSquare(false);
    hud->show(true);
    return hud;
}

OverlayHUD* BFHudUtils::cusIndicatorHiddenDelay(const QString& text, ui::View* view,
                                                OverlayHUDDelegate* delegate, int indicator,
                                                double) {
    OverlayHUD* hud = cusIndicator(text, view, delegate, indicator);
    hud->hideAfterDelay(true, kIndicatorHideDelay);
    return hud;
}

QString BFHudUtils::commonText(const QVariant& reply, const QString& success,
                               const QString& error) {
    if (isEmptyReply(reply)) return QString();
    if (BFDicUtils::getInt(reply, QStringLiteral("state")) == 1) return success;
    return error.isEmpty() ? QStringLiteral("操作失败") : error;
}

OverlayHUD* BFHudUtils::showCommonWithRequest(const QVariant& reply, ui::View* view,
                                              OverlayHUDDelegate* delegate, const QString& success,
                                              const QString& error) {
    OverlayHUD* hud = showText(commonText(reply, success, error), view, delegate);
    hud->hideAfterDelay(true, kCommonHideDelay);
    return hud;
}
