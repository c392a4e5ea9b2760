#include "screens/usage/FlowMainController.h"

#include "app/core/HTTPRequest.h"
#include "app/core/NotificationNames.h"
#include "app/core/PublicFunction.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Font.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "screens/shell/TavrixApplicationSpecific.h"
#include "screens/usage/FlowFormat.h"
#include "screens/usage/FlowOrder.h"

#include <algorithm>

namespace {
// The content area below the navigation bar is 320 x 504.
const QRectF kMeterFrame(52, 31, 216, 165);
const QRectF kAddFlowFrame(70, 204, 180, 34);
const QRectF kRecommendFrame(15, 248, 290, 34);
constexpr double kLinksY = 300;
constexpr double kLinkHeight = 44;
constexpr double kLinkGap = 8;

const char kSegueToDaily[] = "FlowMainToDaily";
const char kSegueToMonthly[] = "FlowMainToMonthly";
const char kSegueToOther[] = "FlowMainToOther";
const char kSegueToSuitOrder[] = "FlowMainToSuitOrder";

} // namespace

FlowMainController::FlowMainController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("流量查询"));
    setHidesBottomBarWhenPushed(true);
}

FlowMainController::~FlowMainController() = default;

void FlowMainController::loadView() {
    ViewController::loadView();
    ui::View* v = view();
    m_addFlowBtn = FlowFormat::filledButton(kAddFlowFrame, QStringLiteral("订购流量加油包"),
                                            TavrixApplicationSpecific::tavrix_greenColor(), 14, v);
    m_addFlowBtn->addAction(ui::Control::TouchUpInside, [this] { clickAddFlowBtn(); });
    m_recommendSuitBtn = new ui::Button(kRecommendFrame, v);
    m_recommendSuitBtn->setTag(kRecommendTag);
    m_recommendSuitBtn->setTitleColor(TavrixApplicationSpecific::tavrix_blueColor());
    m_recommendSuitBtn->titleLabel()->setFont(ui::Font::systemFontOfSize(13));
    m_recommendSuitBtn->setBackgroundColor(Qt::white);
    m_recommendSuitBtn->setCornerRadius(5);
    m_recommendSuitBtn->addAction(ui::Control::TouchUpInside, [this] { recommendSuitPressed(); });
    const double w = (320 - 2 * 15 - 2 * kLinkGap) / 3;
    auto at = [&](int column, int row) {
        return QRectF(15 + column * (w + kLinkGap), kLinksY + row * (kLinkHeight + kLinkGap), w,
                      kLinkHeight);
    };
    addLink(QStringLiteral("每日流量"), kSegueToDaily, 0, at(0, 0));
    addLink(QStringLiteral("每月流量"), kSegueToMonthly, 0, at(1, 0));
    addLink(QStringLiteral("其他免费资源"), kSegueToOther, 0, at(2, 0));
    addLink(QStringLiteral("变更流量套餐"), kSegueToSuitOrder, kPlanChangeTag, at(0, 1));
    addLink(QStringLiteral("流量加油包"), kSegueToSuitOrder, kPackOrderTag, at(1, 1));
}

void FlowMainController::addLink(const QString& title, const QString& segue, int tag,
                                 const QRectF& frame) {
    ui::Button* button = FlowFormat::filledButton(
        frame, title, TavrixApplicationSpecific::tavrix_blueColor(), 14, view());
    button->setTag(tag);
    button->addAction(ui::Control::TouchUpInside,
                      [this, segue, button] { performSegueWithIdentifier(segue, button); });
    m_links.append(button);
}

ui::Button* FlowMainController::linkButton(const QString& title) const {
    for (const auto& b : m_links)
        if (b && b->currentTitle() == title) return b;
    return nullptr;
}

void FlowMainController::viewDidLoad() {
    ViewController::viewDidLoad();
    m_meterView = new MeterProgressView(kMeterFrame, view());
    m_meterView->setSurplusFlowData(QStringLiteral("..."));
    m_meterView->setSurplusFlowUnit(QString(""));
    m_meterView->setProgress(-1);
    m_addFlowBtn->setHidden(true);
    requestaddProductData();
    requestSuitProductData();
    updateRecommendColumn();
}

void FlowMainController::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    requestGPRSData();
}

void FlowMainController::requestGPRSData() {
    HTTPRequest* request = requestStartWithKey("Balance", false);
    request->setCompletionHandler([this](const QVariant& reply) {
        const QVariant accepted = requestFinishedBase(reply);
        if (!accepted.isValid()) return;
        m_gprsData = accepted.toMap();
        PublicFunction::setIsUser4g(ns::Values::boolValue(m_gprsData.value("is_4g")));
        initFlowView();
    });
    request->startRequest();
}

void FlowMainController::requestaddProductData() {
    HTTPRequest* request = requestStartWithKey("FlowProduct", false);
    request->setPostValue("0", "position");
    request->setFailureHandler([](const HTTPError&) {});
    request->setCompletionHandler([this](const QVariant& reply) {
        // Read without the common check: only an accepted list of packs is offered.
        if (!FlowFormat::isAccepted(reply)) return;
        const FlowFormat::ListReading packs = FlowFormat::readList(reply.toMap(), "list");
        if (!packs.valid) return;
        m_addRecommendDataList = packs.list;
        if (!m_addRecommendDataList.isEmpty()) m_addFlowBtn->setHidden(false);
    });
    request->startRequest();
}

void FlowMainController::requestSuitProductData() {
    HTTPRequest* request = requestStartWithKey("FlowProduct", false);
    request->setPostValue("2", "position");
    request->setFailureHandler([](const HTTPError&) {});
    request->setCompletionHandler([this](const QVariant& reply) {
        if (!FlowFormat::isAccepted(reply)) return;
        const FlowFormat::ListReading plans = FlowFormat::readList(reply.toMap(), "list");
        if (!plans.valid || plans.list.isEmpty()) return;
        // The first plan recommended is the one the button offers.
        m_recommendFlowProduct = plans.list.first().toMap();
        updateRecommendColumn();
    });
    request->startRequest();
}

void FlowMainController::initFlowView() {
    const qint64 total = ns::Values::wholeQuantityValue(m_gprsData.value("gntytotal"));
    const qint64 remaining = ns::Values::wholeQuantityValue(m_gprsData.value("gntyll"));
    // The server's figures alone: what was bought is already in its total.
    const float denominator = float(total);
    float percentage = 0;
    if (denominator > 0) percentage = std::max(0.0f, float(remaining) / denominator * 100);
    m_meterView->setProgress(percentage);
    const FlowFormat::Amount amount = FlowFormat::amountOfKb(double(float(remaining)));
    m_meterView->setSurplusFlowData(amount.number);
    m_meterView->setSurplusFlowUnit(amount.unit);
    m_meterView->setNeedsDisplay();
}

void FlowMainController::updateRecommendColumn() {
    const QString title =
        m_recommendFlowProduct.isEmpty()
            ? QStringLiteral("根据您的使用情况，您有新的推荐套餐")
            : QStringLiteral("根据您的使用情况，推荐您办理%1套餐")
                  .arg(PublicFunction::getFlowProductLevel(m_recommendFlowProduct, true));
    m_recommendSuitBtn->titleLabel()->setText(title);
    m_recommendSuitBtn->setTitle(title);
}

void FlowMainController::recommendSuitPressed() {
    if (m_recommendFlowProduct.isEmpty()) {
        performSegueWithIdentifier(kSegueToSuitOrder, m_recommendSuitBtn);
        return;
    }
    // A plan costs money every month: it is confirmed like a pack, never ordered on one tap.
    confirmProduct(m_recommendFlowProduct);
}

void FlowMainController::showRecommendAddFlowAlert() {
    if (m_addRecommendDataList.isEmpty()) return;
    if (m_addAlertView) m_addAlertView->close();
    delete m_addFlowController.data();
    m_addFlowController = new AddFlowAlertVc(this);
    m_addAlertView = m_addFlowController->showInDialog(m_addRecommendDataList, kAddDialogTag, this);
    m_addAlertView->closeWithScreen(this);
}

void FlowMainController::confirmProduct(const QVariantMap& product) {
    if (m_confirmAlertView) m_confirmAlertView->close();
    delete m_orderAlertController.data();
    m_orderAlertController = new OrderAlertVC(this);
    m_orderAlertController->initProduct(PublicFunction::getFlowProductName(product, true),
                                        PublicFunction::getFlowProductLevel(product, true),
                                        PublicFunction::getFlowProductDesc(product, true));
    m_confirmAlertView = m_orderAlertController->showInDialog(product, kConfirmDialogTag, this);
    m_confirmAlertView->closeWithScreen(this);
}

void FlowMainController::modalDialogButtonTouchUpInside(ModalDialogView* dialog, int index) {
    if (!dialog) return;
    dialog->close();
    if (dialog->tag() == kAddDialogTag) {
        if (m_addFlowController) m_addFlowController->dialogDidClose();
        if (index == AddFlowAlertVc::kJumpToOrderIndex) {
            ui::ViewController* next =
                ui::Storyboard::instantiateViewController("Flow", "FlowSuitChangeController");
            if (!next) return;
            next->setProperty("dataType", QStringLiteral("2"));
            if (navigationController())
                navigationController()->pushViewController(next, true);
            else
                ui::ViewController::releaseLater(next);
            return;
        }
        confirmProduct(dialog->para());
        return;
    }
    if (dialog->tag() == kConfirmDialogTag && index == OrderAlertVC::kOrderIndex)
        orderProduct(dialog->para());
}

void FlowMainController::orderProduct(const QVariantMap& product) {
    if (product.isEmpty()) return;
    orderFlowProduct(PublicFunction::getFlowProductId(product, true),
                     PublicFunction::getFlowMarketId(product, true));
}

void FlowMainController::orderFlowProduct(qint64 productId, const QString& marketId) {
    FlowOrder::start(this, productId, marketId, [this] {
        PublicFunction::showAlert(QStringLiteral("系统提示"), QStringLiteral("订购成功"));
        // The meter shows what the server now counts, the new pack included.
        requestGPRSData();
        ns::NotificationCenter::defaultCenter().postNotificationName(
            QString::fromLatin1(notification::kAddedFlowPack));
    });
}

void FlowMainController::prepareForSegue(ui::StoryboardSegue* segue, QObject* sender) {
    auto* button = qobject_cast<ui::View*>(sender);
    ui::ViewController* destination = segue ? segue->destinationViewController() : nullptr;
    if (!button || !destination || destination->metaObject()->indexOfProperty("dataType") < 0)
        return;
    const int tag = button->tag();
    if (tag == kPlanChangeTag || tag == kRecommendTag)
        destination->setProperty("dataType", QStringLiteral("1"));
    else if (tag == kPackOrderTag)
        destination->setProperty("dataType", QStringLiteral("2"));
}

TAVRIX_REGISTER_INITIAL_SCENE("Flow", "FlowMainController", FlowMainController);
TAVRIX_REGISTER_SEGUE("FlowMainController", "FlowMainToDaily", Push, "Flow",
                      "FlowDayStatsController");
TAVRIX_REGISTER_SEGUE("FlowMainController", "FlowMainToMonthly", Push, "Flow",
                      "FlowMonStatsController");
TAVRIX_REGISTER_SEGUE("FlowMainController", "FlowMainToOther", Push, "Flow", "OtherFlowController");
TAVRIX_REGISTER_SEGUE("FlowMainController", "FlowMainToSuitOrder", Push, "Flow",
                      "FlowSuitChangeController");
