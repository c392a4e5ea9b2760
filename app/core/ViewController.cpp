#include "app/core/ViewController.h"

#include "app/categories/Block.h"
#include "app/core/AlertTexts.h"
#include "app/core/BFHudUtils.h"
#include "app/core/HTTPRequest.h"
#include "app/core/NotificationNames.h"
#include "app/core/PublicFunction.h"
#include "app/core/ViewControllerToolBar.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"
#include "widgets/OverlayHUD.h"

#include <QEvent>
#include <QSet>

namespace {

const QString kPushToLogin = QString::fromLatin1(notification::kPushToLoginVeiw);
const char* const kOffsetAnimation = "ViewController.keyboardOffset";

constexpr unsigned kBeginFromCurrentState = 4;

// Interfaces that only read. When the connection drops before the answer, the network layer
// may send these again. Every other interface may change something on the server (a
// password, a setting, feedback, money): it goes at most once, and a lost answer is reported
// as a network failure, never resent or guessed at.
bool isReadOnlyInterface(const QString& key) {
    static const QSet<QString> reads = {
        "Advert",          "Balance",      "Bill",          "ChargeRecord",
        "FlowBill",        "FlowProduct",  "FlowRecommend", "FreeResourceForOtherList",
        "GPRSDaily",       "GPRSMonthly",  "MainBillInfo",  "MainInfoConfList",
        "PaymentInfo",     "PersonalInfo", "RechargeOffer", "Search",
        "SpecialActivity", "StarLevel",    "VersionCheck",
    };
    return reads.contains(key);
}

// The platform's curve numbering inside the animation options: ease in-out, ease in, ease
// out, linear.
ui::Animation::Curve curveOfOptions(unsigned options) {
    switch ((options >> 16) & 0xF) {
    case 1:
        return ui::Animation::Curve::EaseIn;
    case 2:
        return ui::Animation::Curve::EaseOut;
    case 3:
        return ui::Animation::Curve::Linear;
    default:
        return ui::Animation::Curve::EaseInOut;
    }
}

} // namespace

ViewController::ViewController(QObject* parent) : ui::ViewController(parent) {}

ViewController::~ViewController() {
    ns::NotificationCenter::defaultCenter().removeObserver(this);
    // The bar and the placeholder are the screen's own; a bar on screen goes with it too.
    delete m_keyboardToolBar.data();
    if (m_placeholderResponder && !m_placeholderResponder->parent())
        delete m_placeholderResponder.data();
}

// --- Life cycle ---

void ViewController::viewDidLoad() {
    ui::ViewController::viewDidLoad();
    m_alertViewIsshow = false;
    ui::View* root = view();
    root->setBackgroundColor(QColor::fromRgbF(242 / 255.0f, 242 / 255.0f, 242 / 255.0f, 1));
    if (auto* scroll = qobject_cast<ui::ScrollView*>(root))
        scroll->setContentSize(QSizeF(320, scrollContentHeight()));
    m_navShowBack = true;
    m_placeholderResponder = new ui::View;
    m_firstResponderView = m_placeholderResponder;

    delete m_keyboardToolBar.data();
    m_keyboardToolBar =
        new ViewControllerToolBar(QRectF(0, 0, 320, ViewControllerToolBar::kHeight));
    connect(m_keyboardToolBar->doneItem(), &ui::BarButtonItem::triggered, this,
            [this] { toolbarButtonTap(); });

    navigationItem()->setBackBarButtonItem(
        new ui::BarButtonItem(QString(), ui::BarButtonItem::Style::Plain));
    root->installEventFilter(this);
}

double ViewController::scrollContentHeight() const {
    // Below the navigation bar, and above the tab bar unless the screen hides it.
    return hidesBottomBarWhenPushed() ? 504 : 455;
}

double ViewController::heightBelowBars() {
    return ui::Window::screenSize().height() - ui::NavigationBar::kHeight;
}

void ViewController::viewWillAppear(bool animated) {
    ui::ViewController::viewWillAppear(animated);
    auto& center = ns::NotificationCenter::defaultCenter();
    // Re-appearing must not observe twice.
    center.removeObserver(this, ui::Keyboard::WillShowNotification);
    center.removeObserver(this, ui::Keyboard::WillHideNotification);
    center.addObserver(this, ui::Keyboard::WillShowNotification, nullptr,
                       [this](const ns::Notification& n) { keyboardWillShow(n); });
    center.addObserver(this, ui::Keyboard::WillHideNotification, nullptr,
                       [this](const ns::Notification& n) { keyboardWillHide(n); });
    // Before system 7 the bar's own back button has the older look: the screen puts its own.
    if (!PublicFunction::isIOS7OrLater()) showNavBackItem();
}

void ViewController::viewWillDisappear(bool animated) {
    auto& center = ns::NotificationCenter::defaultCenter();
    center.removeObserver(this, ui::Keyboard::WillShowNotification);
    center.removeObserver(this, ui::Keyboard::WillHideNotification);
    ui::ViewController::viewWillDisappear(animated);
}

OverlayHUD* ViewController::baseHud() const {
    return m_baseHud;
}

void ViewController::setBaseHud(OverlayHUD* hud) {
    m_baseHud = hud;
}

void ViewController::showNavBackItem() {
    if (!m_navShowBack) return;
    auto* button = new ui::Button(QRectF(0, 0, 15, 21));
    button->setBackgroundImage(ui::imageNamed(QStringLiteral("header_back")));
    button->setBackgroundColor(Qt::transparent);
    button->addAction(ui::Control::TouchUpInside, [this] { doReturn(); });
    navigationItem()->setLeftBarButtonItem(new ui::BarButtonItem(button));
}

void ViewController::doReturn() {
    if (ui::NavigationController* nav = navigationController())
        nav->popViewControllerAnimated(true);
}

// --- Requests ---

HTTPRequest* ViewController::requestStartWithKey(const QString& key, bool isNeedLoadingView) {
    if (isNeedLoadingView) {
        // One overlay per screen: an earlier one still dimming the screen goes at once.
        if (OverlayHUD* old = m_baseHud) {
            old->setMinShowTime(0);
            old->hide(false);
        }
        ui::View* root = view();
        m_baseHud = BFHudUtils::loading(root, this);
        if (auto* scroll = qobject_cast<ui::ScrollView*>(root)) scroll->setScrollEnabled(false);
    }
    HTTPRequest* request =
        HTTPRequest::requestWithURL(tavrixConfig::NSAPIURL(key), requestTimeout(), this);
    request->setAtMostOnce(!isReadOnlyInterface(key));
    request->setPostValue(PublicFunction::getConfigWithKey(QStringLiteral("session")),
                          QStringLiteral("session"));
    request->setPostValue(PublicFunction::getConfigWithKey(QStringLiteral("username")),
                          QStringLiteral("num"));
    request->setFailureHandler([this](const HTTPError& error) { commonFailureHandler(error); });
    return request;
}

void ViewController::commonFailureHandler(const HTTPError& error) {
    if (OverlayHUD* hud = m_baseHud) hud->hide(true);
    if (error.code == HTTPError::TimedOut) {
        PublicFunction::showAlert(AlertTexts::title(), AlertTexts::timedOut());
        return;
    }
    Block::alertWithTitle(
        AlertTexts::title(), AlertTexts::networkFailed(), [](int) {}, QStringLiteral("确认"),
        QString())
        ->show();
}

QVariant ViewController::requestFinishedBase(const QVariant& reply) {
    if (OverlayHUD* hud = m_baseHud) hud->hide(true);
    return judgeReply(reply);
}

QVariant ViewController::requestFinishedBaseForSuitChange(const QVariant& reply) {
    return judgeReply(reply);
}

QVariant ViewController::judgeReply(const QVariant& reply) {
    // Nothing, an array or a bare value: no usable reply.
    if (!ns::Values::isMap(reply)) {
        PublicFunction::showAlert(AlertTexts::title(), AlertTexts::timedOut());
        return {};
    }
    const QVariantMap map = reply.toMap();
    const qint64 result = ns::Values::integerValue(map.value(QStringLiteral("result")));
    const QString msg = ns::Values::stringValue(map.value(QStringLiteral("msg")));
    if (result == kSessionExpired) {
        // Several requests of one screen may all find the session gone: one alert says so.
        if (!m_alertViewIsshow) {
            m_alertViewIsshow = true;
            Block::alertWithTitle(
                AlertTexts::title(), msg,
                [](int) {
                    ns::NotificationCenter::defaultCenter().postNotificationName(kPushToLogin);
                },
                QStringLiteral("确定"), QString())
                ->show();
        }
        return {};
    }
    if (result != 0) {
        PublicFunction::showAlert(QString(), msg);
        return {};
    }
    return map;
}

// --- Keyboard ---

void ViewController::hideKeyboard() {
    if (isViewLoaded()) view()->endEditing(true);
}

void ViewController::toolbarButtonTap() {
    hideKeyboard();
}

bool ViewController::textFieldShouldBeginEditingBase(ui::TextField* field) {
    m_firstResponderView = field;
    if (field && !field->inputAccessoryView()) field->setInputAccessoryView(m_keyboardToolBar);
    return true;
}

bool ViewController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && isViewLoaded() && watched == view()) {
        hideKeyboard();
        return true;
    }
    return ui::ViewController::eventFilter(watched, event);
}

void ViewController::keyboardWillShow(const ns::Notification& notification) {
    adjustTextViewByKeyboardState(true, notification.userInfo);
}

void ViewController::keyboardWillHide(const ns::Notification& notification) {
    adjustTextViewByKeyboardState(false, notification.userInfo);
}

unsigned ViewController::animationOptionsForCurve(unsigned curve) {
    if (curve <= 3) return (curve << 16) | kBeginFromCurrentState;
    return kBeginFromCurrentState;
}

void ViewController::adjustTextViewByKeyboardState(bool showing, const QVariantMap& keyboardInfo) {
    if (!isViewLoaded()) return;
    ui::View* root = view();
    // Only a scrolling screen moves; any other stays where it is.
    auto* target = qobject_cast<ui::ScrollView*>(root);
    if (!target) return;
    const unsigned options = animationOptionsForCurve(unsigned(std::max<qint64>(
        0, ns::Values::integerValue(keyboardInfo.value(ui::Keyboard::AnimationCurveUserInfoKey)))));

    QPointF offset(0, 0);
    if (showing) {
        const double keyboard =
            keyboardInfo.value(ui::Keyboard::FrameEndUserInfoKey).toRectF().height();
        QRectF field;
        if (ui::View* edited = m_firstResponderView) {
            field = edited->frame();
            if (ui::View* super = edited->superview())
                field = super->convertRectToView(field, root);
        }
        const double bottom = keyboard + field.y() + field.height();
        const double height = root->frame().height();
        if (bottom > height) offset = QPointF(0, bottom - height);
    }

    const double duration =
        ns::Values::doubleValue(keyboardInfo.value(ui::Keyboard::AnimationDurationUserInfoKey));
    const QPointF from = target->contentOffset();
    QPointer<ui::ScrollView> guard(target);
    ui::Animation::run(target, kOffsetAnimation, duration, curveOfOptions(options),
                       [guard, from, offset](double p) {
                           if (guard) guard->setContentOffset(from + (offset - from) * p);
                       });
}
