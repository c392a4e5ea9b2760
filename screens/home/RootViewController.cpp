#include "screens/home/RootViewController.h"

#include "app/categories/Block.h"
#include "app/core/AppDelegate.h"
#include "app/core/HTTPRequest.h"
#include "app/core/NotificationNames.h"
#include "app/core/tavrixConfig.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/Storyboard.h"
#include "screens/shell/TavrixApplicationSpecific.h"
#include "widgets/OverlayHUD.h"
#include "widgets/RefreshView.h"
#include "widgets/SpinnerView.h"

TAVRIX_REGISTER_SCENE("Main", "RootViewController", RootViewController);

namespace {

// The page's layout, in points; the page scrolls over 320 x 456.
constexpr QRectF kHeaderFrame(0, 0, 320, 110);
constexpr QRectF kRemainCaptionFrame(15, 8, 100, 16);
constexpr QRectF kRemainFrame(15, 26, 140, 42);
constexpr QRectF kUsedCaptionFrame(15, 76, 60, 20);
constexpr QRectF kUsedFrame(75, 76, 85, 20);
constexpr QRectF kRechargeFrame(110, 8, 44, 22);
constexpr QRectF kNormalCaptionFrame(170, 8, 140, 16);
constexpr QRectF kNormalFrame(170, 26, 140, 42);
constexpr QRectF kOtherCaptionFrame(170, 76, 60, 20);
constexpr QRectF kOtherFrame(230, 76, 85, 20);
constexpr double kSmallFont = 10;
constexpr double kLargeFont = 34;

QFont systemFont(double size) {
    return ui::Font::systemFontOfSize(size);
}

// The integer part large, then what follows small.
ui::AttributedString largeThenSmall(const QString& integer, const QString& rest) {
    ui::TextAttributes large;
    large.font = systemFont(kLargeFont);
    ui::TextAttributes small;
    small.font = systemFont(kSmallFont);
    ui::AttributedString text(integer, large);
    text.appendString(rest, small);
    return text;
}

ui::Label* caption(const QRectF& frame, const QString& text, ui::View* parent) {
    auto* label = new ui::Label(frame, parent);
    label->setText(text);
    label->setFont(systemFont(12));
    label->setTextColor(QColor(120, 120, 120));
    return label;
}

} // namespace

RootViewController::RootViewController(QObject* parent) : ViewController(parent) {}

RootViewController::~RootViewController() {
    ns::NotificationCenter::defaultCenter().removeObserver(this);
}

ui::AttributedString RootViewController::remainText(const QVariant& remain) {
    // A number is shown as the server would have written it ("58.3", "120").
    const QString text = ns::Values::isNumber(remain) && remain.typeId() != QMetaType::Bool
                             ? ns::Values::stringValue(ns::Values::quantityValue(remain))
                             : ns::Values::stringValue(remain);
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot < 0) return largeThenSmall(text, QStringLiteral("元"));
    return largeThenSmall(text.left(dot), QStringLiteral(".%1元").arg(text.mid(dot + 1)));
}

ui::AttributedString RootViewController::flowText(const QVariant& kb) {
    const QString text = tavrixConfig::formatOfNetworkFlow(ns::Values::quantityValue(kb));
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot < 0) return largeThenSmall(text, QString());
    return largeThenSmall(text.left(dot), QStringLiteral(".%1").arg(text.mid(dot + 1)));
}

void RootViewController::loadView() {
    m_rootScrollView = new ui::ScrollView(QRectF(QPointF(0, 0), QSizeF(320, 455)));
    m_rootScrollView->setBackgroundColor(QColor(242, 242, 242));
    m_rootScrollView->setShowsHorizontalScrollIndicator(false);
    setView(m_rootScrollView);
    buildHeader(m_rootScrollView);
    buildCarousel(m_rootScrollView);
    buildButtons(m_rootScrollView);
    buildTiles(m_rootScrollView);
}

void RootViewController::buildHeader(ui::View* root) {
    auto* header = new ui::View(kHeaderFrame, root);
    header->setBackgroundColor(Qt::white);
    caption(kRemainCaptionFrame, QStringLiteral("剩余话费"), header);
    m_labelOfRemainTelMoney = new ui::Label(kRemainFrame, header);
    caption(kUsedCaptionFrame, QStringLiteral("本月已用"), header);
    m_labelOfUsedTelMoney = new ui::Label(kUsedFrame, header);
    m_labelOfUsedTelMoney->setFont(systemFont(12));
    caption(kNormalCaptionFrame, QStringLiteral("剩余通用流量"), header);
    m_normalFlowRemain = new ui::Label(kNormalFrame, header);
    caption(kOtherCaptionFrame, QStringLiteral("其他流量"), header);
    m_otherFlowRemain = new ui::Label(kOtherFrame, header);
    m_otherFlowRemain->setFont(systemFont(12));
    m_rechargeButton = new ui::Button(kRechargeFrame, header);
    m_rechargeButton->setTitle(QStringLiteral("充值"));
    m_rechargeButton->setTitleColor(TavrixApplicationSpecific::tavrix_blueColor());
    m_rechargeButton->titleLabel()->setFont(systemFont(13));
    m_rechargeButton->addTarget(
        this, [this](ui::Control*) { performSegueWithIdentifier("RootViewToRecharge", nullptr); },
        ui::Control::TouchUpInside);
}

void RootViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    setNavShowBack(false);
    navigationItem()->setLeftBarButtonItem(
        new ui::BarButtonItem(ui::imageNamed("home_drawer"), ui::BarButtonItem::Style::Plain,
                              [this] { slideButtonPressed(nullptr); }));
    setTitle(QStringLiteral("首页"));
    m_isRequestOfComboFaild = false;
    m_currentTime = QString();
    m_refreshView = new RefreshView;
    m_refreshView->setupWithOwner(m_rootScrollView, this);
    m_rootScrollView->setDelegate(this);
    loadADCache();
    loadMainConfigCache();
    requestOfMainBillInfoSend();
    requestOfAdvertismentSend();
    requestOfMainInfoConfList();
    // From the first load on, also while other screens cover the page.
    ns::NotificationCenter::defaultCenter().addObserver(
        this, notification::kAddedFlowPack, nullptr,
        [this](const ns::Notification&) { requestOfBalanceSend(); });
}

void RootViewController::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    if (m_isRequestOfComboFaild) requestOfMainBillInfoSend();
    auto& center = ns::NotificationCenter::defaultCenter();
    if (!m_observingFunctionModule) {
        m_observingFunctionModule = true;
        center.addObserver(this, notification::kPushToFunctionModule, nullptr,
                           [this](const ns::Notification& n) { sideSlipButtonPressedWith(n); });
    }
    center.postNotificationName(notification::kAddPanGestureToRootView);
}

// The home page scrolls over the height left above the tab bar.
HTTPRequest* RootViewController::requestOfBalance() const {
    return m_requestOfBalance;
}

HTTPRequest* RootViewController::requestOfMainBillInfo() const {
    return m_requestOfMainBillInfo;
}

double RootViewController::scrollContentHeight() const {
    return hidesBottomBarWhenPushed() ? ViewController::scrollContentHeight() : 456;
}

void RootViewController::viewDidAppear(bool animated) {
    ViewController::viewDidAppear(animated);
    if (AppDelegate* app = AppDelegate::sharedDelegate()) app->replayURLOfAwakenByOther(this);
}

void RootViewController::viewWillDisappear(bool animated) {
    auto& center = ns::NotificationCenter::defaultCenter();
    center.removeObserver(this, notification::kPushToFunctionModule);
    m_observingFunctionModule = false;
    center.postNotificationName(notification::kRemovePanGestureFromRootView);
    ViewController::viewWillDisappear(animated);
}

// --- Header ---

HTTPRequest* RootViewController::sendRequest(const QString& key,
                                             const QList<QPair<QString, QVariant>>& fields,
                                             bool silent,
                                             std::function<void(const QVariant&)> judged) {
    HTTPRequest* request = requestStartWithKey(key, false);
    if (!request) return nullptr;
    for (const auto& [name, value] : fields)
        request->setPostValue(value, name);
    QPointer<RootViewController> self(this);
    if (silent)
        request->setFailureHandler([](const HTTPError&) {});
    else
        request->setFailureHandler([self](const HTTPError& error) {
            if (self) self->headerRequestFailed(error);
        });
    request->setCompletionHandler([self, judged](const QVariant& reply) {
        if (self) judged(self->requestFinishedBase(reply));
    });
    request->startRequest();
    return request;
}

void RootViewController::requestOfMainBillInfoSend() {
    m_requestOfMainBillInfo = sendRequest("MainBillInfo", {}, false, [this](const QVariant& reply) {
        if (!reply.isValid()) {
            m_isRequestOfComboFaild = true;
            // "Balance" will not follow, and with nothing left in flight the give-up is
            // withdrawn: a pull ends here, or the spinner would turn on and refuse new pulls.
            if (m_refreshView->isLoading()) m_refreshView->stopLoading();
            headerChainEnded();
            return;
        }
        const QVariant current = reply.toMap().value("current");
        if (ns::Values::isMap(current)) {
            const QVariantMap money = current.toMap();
            const QColor blue = TavrixApplicationSpecific::tavrix_blueColor();
            m_labelOfRemainTelMoney->setTextColor(blue);
            m_labelOfRemainTelMoney->setAttributedText(remainText(money.value("remain")));
            m_labelOfUsedTelMoney->setTextColor(blue);
            m_labelOfUsedTelMoney->setText(
                QStringLiteral("%1元").arg(ns::Values::stringValue(money.value("telephone_fare"))));
        }
        requestOfBalanceSend();
    });
}

void RootViewController::requestOfBalanceSend() {
    m_requestOfBalance = sendRequest("Balance", {}, false, [this](const QVariant& reply) {
        if (!reply.isValid()) {
            m_isRequestOfComboFaild = true;
        } else {
            const QVariantMap data = reply.toMap();
            m_normalFlowRemain->setTextColor(TavrixApplicationSpecific::tavrix_greenColor());
            m_normalFlowRemain->setAttributedText(flowText(data.value("gntyll")));
            m_otherFlowRemain->setText(
                tavrixConfig::formatOfNetworkFlow(ns::Values::quantityValue(data.value("qtll"))));
            m_isRequestOfComboFaild = false;
        }
        m_refreshView->stopLoading();
        headerChainEnded();
    });
}

void RootViewController::headerRequestFailed(const HTTPError& error) {
    if (OverlayHUD* hud = baseHud()) hud->hide(true);
    m_isRequestOfComboFaild = true;
    headerChainEnded();
    const QString message = error.code == HTTPError::TimedOut
                                ? QStringLiteral("请求超时")
                                : QStringLiteral("网络连接失败,请检查您的网络设置");
    QPointer<RootViewController> self(this);
    ui::AlertView* alert = Block::alertWithTitle(
        QStringLiteral("提示"), message,
        [self](int) {
            if (self) self->m_refreshView->stopLoading();
        },
        QStringLiteral("确认"), QString());
    alert->show();
}

void RootViewController::headerChainEnded() {
    // The refresh is over once no header request is left: its give-up has nothing left to do.
    // A "Balance" asked for on its own (an ordered pack) may end while the pull's bill still
    // hangs; that one must still be given up.
    for (HTTPRequest* request : {m_requestOfBalance.data(), m_requestOfMainBillInfo.data()})
        if (request && request->isRunning()) return;
    m_giveUp.cancel();
}

void RootViewController::refreshViewDidCallBack() {
    startLoading();
}

void RootViewController::startLoading() {
    requestOfMainBillInfoSend();
    m_refreshView->startLoading();
    // One give-up per refresh: a new pull restarts it.
    m_giveUp.start(kRefreshGiveUpMs, this, [this] { stopRefreshLoading(); });
}

void RootViewController::stopRefreshLoading() {
    m_giveUp.cancel();
    m_refreshView->stopLoading();
    bool cancelled = false;
    for (HTTPRequest* request : {m_requestOfBalance.data(), m_requestOfMainBillInfo.data()}) {
        if (request && request->isRunning()) {
            request->cancleRequest();
            cancelled = true;
        }
    }
    // What was given up is asked for again when the page next appears.
    if (cancelled) m_isRequestOfComboFaild = true;
}

// --- Scroll views ---

void RootViewController::scrollViewWillBeginDragging(ui::ScrollView* scrollView) {
    if (scrollView == m_rootScrollView) m_refreshView->scrollViewWillBeginDragging(scrollView);
}

void RootViewController::scrollViewDidScroll(ui::ScrollView* scrollView) {
    if (scrollView == m_rootScrollView)
        m_refreshView->scrollViewDidScroll(scrollView);
    else if (scrollView == m_myScrollView)
        carouselDidScroll();
}

void RootViewController::scrollViewDidEndDragging(ui::ScrollView* scrollView, bool willDecelerate) {
    if (scrollView == m_rootScrollView) {
        m_refreshView->scrollViewDidEndDragging(scrollView, willDecelerate);
    } else if (scrollView == m_myScrollView && !willDecelerate) {
        moveToTargetPosition(nextPagePosition());
    }
}

void RootViewController::scrollViewWillBeginDecelerating(ui::ScrollView* scrollView) {
    if (scrollView == m_rootScrollView) m_refreshView->scrollViewWillBeginDecelerating(scrollView);
}
