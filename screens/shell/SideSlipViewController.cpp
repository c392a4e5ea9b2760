#include "screens/shell/SideSlipViewController.h"

#include <QLinearGradient>
#include <QUrl>

#include "app/categories/Block.h"
#include "app/core/AlertTexts.h"
#include "app/core/BFHudUtils.h"
#include "app/core/HTTPRequest.h"
#include "app/core/NotificationNames.h"
#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/View.h"
#include "screens/web/WebViewController.h"

TAVRIX_REGISTER_SCENE("Main", "SideSlipViewController", SideSlipViewController);

namespace {

// The scene's layout, in points. The drawer shows the menu's x from 10 to 210 when open.
constexpr QRectF kPhoneFrame(30, 50, 170, 24);
constexpr QRectF kStarsRowFrame(30, 80, 180, 32);
constexpr QRectF kStarsCaptionFrame(0, 0, 40, 32);
constexpr double kMenuX = 20;
constexpr double kMenuWidth = 180;
constexpr double kMenuTop = 130;
constexpr double kRowHeight = 44;
constexpr double kStarY = 9;
constexpr double kStarWidth = 15;
constexpr double kStarHeight = 14;
constexpr double kStarStep = 18;

const QString kProductName = QStringLiteral("塔维掌上营业厅");

struct MenuEntry {
    int tag;
    const char* title;
};
// The functions the home page opens for these tags.
constexpr MenuEntry kMainEntries[] = {
    {1001, "我的套餐"}, {1002, "流量查询"}, {1003, "已订业务"},
    {1004, "话费账单"}, {1005, "流量钱包"}, {1006, "话费充值"},
};

} // namespace

SideSlipViewController::StarRow SideSlipViewController::starRowForLevel(const QString& level) {
    if (level == "1") return {"starCard", 5, 0};
    if (level == "2") return {"goldCard", 5, 0};
    if (level == "3") return {"diamondCard", 5, 0};
    if (level == "14") return {"starCard", 4, 1};
    if (level == "13") return {"starCard", 3, 2};
    if (level == "12") return {"starCard", 2, 3};
    if (level == "11") return {"starCard", 1, 4};
    if (level == "10") return {"expectantStar", 1, 4};
    if (level == "-10") return {};
    return {QString(), 0, 5};
}

QString SideSlipViewController::shareMessage(const QString& phoneNumber) {
    // The download page lives on the operator's application server.
    const QUrl server(tavrixConfig::serverBaseAddress());
    const QString address = server.toString(QUrl::RemovePath | QUrl::RemoveQuery |
                                            QUrl::RemoveFragment | QUrl::StripTrailingSlash);
    return QStringLiteral("推荐给你一个应用“") + kProductName +
           QStringLiteral("”，可随时查话费、查流量、办业务！下载地址：") + address +
           "/pelvo?t=2&mi=" + phoneNumber;
}

SideSlipViewController::SideSlipViewController(QObject* parent) : ViewController(parent) {}

SideSlipViewController::~SideSlipViewController() = default;

ui::Button* SideSlipViewController::addMenuButton(ui::View* parent, const QRectF& frame, int tag,
                                                  const QString& title) {
    auto* button = new ui::Button(parent);
    button->setFrame(frame);
    button->setTag(tag);
    button->setTitle(title);
    button->setTitleColor(Qt::white);
    button->setTitleColor(QColor(255, 255, 255, 110), ui::Control::Highlighted);
    button->setTitleColor(QColor(255, 255, 255, 140), ui::Control::Disabled);
    button->titleLabel()->setFont(ui::Font::systemFontOfSize(16));
    button->setContentHorizontalAlignment(ui::Control::ContentHorizontalAlignment::Left);
    button->setContentEdgeInsets(QMarginsF(12, 0, 0, 0));
    button->addTarget(
        this, [this](ui::Control* sender) { buttonPressed(static_cast<ui::Button*>(sender)); },
        ui::Control::TouchUpInside);
    return button;
}

void SideSlipViewController::loadView() {
    ViewController::loadView();
    ui::View* root = view();
    const QRectF bounds = root->bounds();
    m_backGroundView = new ui::View(bounds, root);
    m_labelOfPhoneNO = new ui::Label(kPhoneFrame, root);
    m_labelOfPhoneNO->setFont(ui::Font::boldSystemFontOfSize(18));
    m_labelOfPhoneNO->setTextColor(Qt::white);
    m_viewOfStars = new ui::View(kStarsRowFrame, root);
    m_labelOfStars = new ui::Label(kStarsCaptionFrame, m_viewOfStars);
    m_labelOfStars->setText("星级");
    m_labelOfStars->setFont(ui::Font::systemFontOfSize(13));
    m_labelOfStars->setTextColor(QColor(200, 210, 225));

    double y = kMenuTop;
    for (const MenuEntry& entry : kMainEntries) {
        addMenuButton(root, QRectF(kMenuX, y, kMenuWidth, kRowHeight), entry.tag,
                      QString::fromUtf8(entry.title));
        y += kRowHeight;
    }
    m_viewOfShareAndFeedback = new ui::View(QRectF(kMenuX, 0, kMenuWidth, 89), root);
    addMenuButton(m_viewOfShareAndFeedback, QRectF(0, 0, kMenuWidth, kRowHeight), kShareTag,
                  "短信分享");
    addMenuButton(m_viewOfShareAndFeedback, QRectF(0, 45, kMenuWidth, kRowHeight), 1008,
                  "意见反馈");
    m_viewOfSettingAndCancel = new ui::View(QRectF(kMenuX, 0, kMenuWidth, 49), root);
    addMenuButton(m_viewOfSettingAndCancel, QRectF(0, 0, kMenuWidth / 2, 49), 1011, "设置");
    addMenuButton(m_viewOfSettingAndCancel, QRectF(kMenuWidth / 2, 0, kMenuWidth / 2, 49),
                  kLogoutTag, "注销");
}

void SideSlipViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    m_isRequestOfStarLevelFailed = false;
    const double height = view()->frame().height();
    QRectF bottom = m_viewOfSettingAndCancel->frame();
    bottom.moveTop(height - 49);
    m_viewOfSettingAndCancel->setFrame(bottom);
    QRectF above = m_viewOfShareAndFeedback->frame();
    above.moveTop(height - 89 - 49);
    m_viewOfShareAndFeedback->setFrame(above);
    m_labelOfPhoneNO->setText(PublicFunction::getConfigWithKey("username").toString());
    view()->setBackgroundColor(QColor(32, 49, 75));
    QLinearGradient gradient(1, 0, 0, 1);
    gradient.setCoordinateMode(QGradient::ObjectMode);
    gradient.setColorAt(0, QColor(98, 63, 61));
    gradient.setColorAt(1, QColor(32, 49, 75));
    m_backGroundView->setFrame(QRectF(QPointF(0, 0), view()->frame().size()));
    m_backGroundView->setBackgroundBrush(gradient);
    m_backGroundView->setAlpha(0.7);
    // The layout leaves room for the status bar over the view; the older system starts the
    // view below it.
    if (!PublicFunction::isIOS7OrLater()) {
        for (ui::View* child : view()->subviews())
            child->setFrame(child->frame().translated(0, -20));
    }
    requestOfStarLevelSend();
}

void SideSlipViewController::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    if (m_isRequestOfStarLevelFailed) requestOfStarLevelSend();
}

void SideSlipViewController::requestOfStarLevelSend() {
    HTTPRequest* request = requestStartWithKey("StarLevel", false);
    if (!request) return;
    QPointer<SideSlipViewController> self(this);
    request->setFailureHandler([self](const HTTPError& error) {
        if (!self) return;
        self->m_isRequestOfStarLevelFailed = true;
        self->commonFailureHandler(error);
    });
    request->setCompletionHandler([self](const QVariant& reply) {
        if (!self) return;
        const QVariant accepted = self->requestFinishedBase(reply);
        if (!accepted.isValid()) {
            self->m_isRequestOfStarLevelFailed = true;
            return;
        }
        // A success ends the retries that a failure started.
        self->m_isRequestOfStarLevelFailed = false;
        self->drawStars(ns::Values::stringValue(accepted.toMap().value("credit_level")));
    });
    request->startRequest();
}

void SideSlipViewController::drawStars(const QString& creditLevel) {
    const QRectF caption = m_labelOfStars->frame();
    drawStarRow(m_stars, m_viewOfStars, creditLevel,
                QPointF(int(caption.x() + caption.width()), kStarY));
}

void SideSlipViewController::drawStarRow(QList<QPointer<ui::ImageView>>& stars, ui::View* parent,
                                         const QString& creditLevel, const QPointF& origin) {
    // One row only: a repeated answer replaces the row instead of stacking a second one.
    for (const QPointer<ui::ImageView>& star : stars)
        delete star.data();
    stars.clear();
    const StarRow row = starRowForLevel(creditLevel);
    const QImage image = row.imageName.isEmpty() ? QImage() : ui::imageNamed(row.imageName);
    const QImage expectant = ui::imageNamed("expectantStar");
    for (int k = 0; k < row.count + row.expectantFill; ++k) {
        const bool filled = k < row.count;
        auto* star = new ui::ImageView(
            QRectF(origin.x() + kStarStep * k, origin.y(), kStarWidth, kStarHeight), parent);
        star->setImage(filled ? image : expectant);
        star->setObjectName(filled ? row.imageName : QStringLiteral("expectantStar"));
        stars << star;
    }
}

QList<ui::ImageView*> SideSlipViewController::starImageViews() const {
    QList<ui::ImageView*> out;
    for (const QPointer<ui::ImageView>& star : m_stars)
        if (star) out << star.data();
    return out;
}

ui::Button* SideSlipViewController::buttonWithTag(int tag) const {
    if (!isViewLoaded()) return nullptr;
    return qobject_cast<ui::Button*>(
        const_cast<SideSlipViewController*>(this)->view()->viewWithTag(tag));
}

void SideSlipViewController::buttonPressed(ui::Button* sender) {
    if (!sender || !sender->isEnabled()) return;
    sender->setEnabled(false);
    QPointer<ui::Button> button(sender);
    ns::performAfter(kButtonLockMs, this, [this, button] { buttonEnable(button); });

    if (sender->tag() == kLogoutTag) {
        ui::AlertView* alert = Block::alertWithTitle(
            QString(), "确认注销登录？",
            [](int index) {
                if (index != 1) return;
                PublicFunction::removeConfigWithKey("session");
                PublicFunction::removeConfigWithKey("username");
                PublicFunction::removeConfigWithKey("password");
                // The pages' and the requests' cookies were the subscriber's too: the next
                // one's log-in carries none of them.
                WebViewController::deleteAllCookies();
                ns::NotificationCenter::defaultCenter().postNotificationName(
                    notification::kPushToLoginVeiw);
            },
            "取消", "确认");
        alert->show();
        return;
    }
    if (sender->tag() == kShareTag) {
        const QString number = PublicFunction::getConfigWithKey("username").toString();
        auto* alert = new ui::AlertView("短信分享", shareMessage(number), this, "取消", {"分享"});
        alert->setAlertViewStyle(ui::AlertView::Style::PlainTextInput);
        alert->setTag(kShareAlertTag);
        if (ui::TextField* field = alert->textFieldAtIndex(0)) {
            field->setPlaceholder("请输入正确的手机号");
            field->setKeyboardType(ui::TextField::KeyboardType::NumberPad);
            field->setDelegate(this);
            m_textFieldOfShare = field;
        }
        alert->show();
        return;
    }
    auto& center = ns::NotificationCenter::defaultCenter();
    center.postNotificationName(notification::kHideSideSlipView, sender);
    center.postNotificationName(notification::kPushToFunctionModule, sender);
}

void SideSlipViewController::buttonEnable(ui::Button* button) {
    if (button) button->setEnabled(true);
}

bool SideSlipViewController::alertViewShouldEnableFirstOtherButton(ui::AlertView* alertView) {
    if (alertView->tag() != kShareAlertTag) return true;
    ui::TextField* field = alertView->textFieldAtIndex(0);
    return field && field->text().size() == kPhoneNumberLength;
}

bool SideSlipViewController::textField(ui::TextField* field, ui::TextRange,
                                       const QString& replacement) {
    if (field != m_textFieldOfShare) return true;
    if (field->text().size() >= kPhoneNumberLength) return replacement.isEmpty();
    return true;
}

void SideSlipViewController::alertViewClickedButtonAtIndex(ui::AlertView* alertView,
                                                           int buttonIndex) {
    if (alertView->tag() != kShareAlertTag || buttonIndex != 1) return;
    ui::TextField* field = alertView->textFieldAtIndex(0);
    const QString recipient = field ? field->text() : QString();
    if (ui::MessageComposeViewController::canSendText())
        displaySMSComposerSheetWithPhone(recipient, alertView->message());
}

void SideSlipViewController::displaySMSComposerSheetWithPhone(const QString& phone,
                                                              const QString& andBody) {
    auto* composer = new ui::MessageComposeViewController;
    composer->setRecipients({phone});
    composer->setBody(andBody);
    composer->setMessageComposeDelegate(this);
    presentViewController(composer, true);
}

void SideSlipViewController::messageComposeViewController(ui::MessageComposeViewController*,
                                                          ui::MessageComposeResult result) {
    dismissViewControllerAnimated(true);
    if (result != ui::MessageComposeResult::Failed) return;
    // Over the whole drawer, not only the menu the tab bar partly covers: nothing was sent.
    ui::ViewController* container = parentViewController();
    BFHudUtils::showText(AlertTexts::cannotOpenLink(), container ? container->view() : view(),
                         nullptr);
}
