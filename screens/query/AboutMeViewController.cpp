#include "screens/query/AboutMeViewController.h"

#include "app/categories/Block.h"
#include "app/core/AlertTexts.h"
#include "app/core/BFHudUtils.h"
#include "app/core/HTTPRequest.h"
#include "app/core/PublicFunction.h"
#include "platform/foundation/UrlOpener.h"
#include "platform/foundation/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/View.h"
#include "widgets/OverlayHUD.h"

#include <QUrl>

TAVRIX_REGISTER_SCENE("Main", "AboutMeViewController", AboutMeViewController);

namespace {

constexpr QRectF kNameFrame(0, 60, 320, 30);
constexpr QRectF kVersionFrame(0, 96, 320, 20);
constexpr QRectF kCheckFrame(15, 150, 290, 44);

const QString kUpdateTitle = QStringLiteral("升级提示");

} // namespace

bool AboutMeViewController::isOpenableUpdateUrl(const QString& url) {
    const QUrl address(url.trimmed(), QUrl::StrictMode);
    const QString scheme = address.scheme().toLower();
    return address.isValid() && !address.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

AboutMeViewController::AboutMeViewController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("关于我们"));
    setHidesBottomBarWhenPushed(true);
}

void AboutMeViewController::loadView() {
    ViewController::loadView();
    ui::View* root = view();
    auto* name = new ui::Label(kNameFrame, root);
    name->setText(QStringLiteral("塔维掌上营业厅"));
    name->setFont(ui::Font::boldSystemFontOfSize(20));
    name->setTextAlignment(ui::TextAlignment::Center);
    m_versionID = new ui::Label(kVersionFrame, root);
    m_versionID->setFont(ui::Font::systemFontOfSize(14));
    m_versionID->setTextColor(QColor(120, 120, 120));
    m_versionID->setTextAlignment(ui::TextAlignment::Center);
    m_checkButton = new ui::Button(kCheckFrame, root);
    m_checkButton->setTag(kCheckTag);
    m_checkButton->setTitle(QStringLiteral("检查更新"));
    m_checkButton->setTitleColor(Qt::white);
    m_checkButton->setBackgroundColor(QColor(70, 140, 202));
    m_checkButton->setCornerRadius(4);
    m_checkButton->addTarget(
        this, [this](ui::Control*) { buttonPressed(); }, ui::Control::TouchUpInside);
}

void AboutMeViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    m_versionID->setText(QStringLiteral("版本号：%1").arg(PublicFunction::versionNumberOfAPP()));
}

void AboutMeViewController::buttonPressed() {
    checkUpTheVersionUpdate();
}

void AboutMeViewController::checkUpTheVersionUpdate() {
    HTTPRequest* request = requestStartWithKey("VersionCheck", true);
    if (!request) return;
    request->setPostValue("2", "type");
    request->setPostValue(QString::fromLatin1(kCheckedVersion), "appversion");
    QPointer<AboutMeViewController> self(this);
    request->setCompletionHandler([self](const QVariant& reply) {
        if (!self) return;
        const QVariant accepted = self->requestFinishedBase(reply);
        if (accepted.isValid()) self->versionAnswered(accepted.toMap());
    });
    request->setFailureHandler([self](const HTTPError& error) {
        if (!self) return;
        if (OverlayHUD* hud = self->baseHud()) hud->hide(true);
        if (error.code == HTTPError::TimedOut) {
            PublicFunction::showAlert(QStringLiteral("提示"), QStringLiteral("请求超时"));
            return;
        }
        Block::alertWithTitle(QStringLiteral("提示"),
                              QStringLiteral("网络连接失败,请检查您的网络设置"), {},
                              QStringLiteral("确认"), QString())
            ->show();
    });
    request->startRequest();
}

void AboutMeViewController::versionAnswered(const QVariantMap& reply) {
    const QString version = ns::Values::stringValue(reply.value("version"));
    const QString content = ns::Values::stringValue(reply.value("content"));
    m_versionUrl = ns::Values::stringValue(reply.value("url"));
    if (version == QLatin1String("-1")) {
        PublicFunction::showAlert(kUpdateTitle, QStringLiteral("当前版本已是最新版本"));
        return;
    }
    QPointer<AboutMeViewController> self(this);
    Block::alertWithTitle(
        kUpdateTitle, content,
        [self](int index) {
            if (index != 1 || !self) return;
            // Only a real download address leaves the application; one the desktop cannot
            // open is said so.
            const QString url = self->m_versionUrl.trimmed();
            if (!isOpenableUpdateUrl(url) || !ns::UrlOpener::openURL(QUrl(url)))
                BFHudUtils::showText(AlertTexts::cannotOpenLink(), self->view(), nullptr);
        },
        QStringLiteral("取消"), QStringLiteral("确认"))
        ->show();
}
