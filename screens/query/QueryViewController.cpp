#include "screens/query/QueryViewController.h"

#include "app/core/HTTPRequest.h"
#include "app/core/PublicFunction.h"
#include "screens/query/OperatorPages.h"
#include "screens/shell/SideSlipViewController.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/View.h"

TAVRIX_REGISTER_SCENE("Main", "QueryViewController", QueryViewController);

namespace {

// The scene's layout, in points, under the navigation bar.
constexpr QRectF kCardFrame(10, 10, 300, 112);
constexpr QRectF kPhoneCaptionFrame(14, 12, 80, 24);
constexpr QRectF kPhoneFrame(94, 12, 196, 24);
constexpr QRectF kPackageCaptionFrame(14, 44, 80, 24);
constexpr QRectF kPackageFrame(94, 44, 196, 24);
constexpr QRectF kStarCaptionFrame(14, 76, 80, 24);
constexpr QRectF kStarLevelFrame(94, 81, 120, 14);
constexpr QRectF kBillButtonFrame(10, 134, 300, 48);
constexpr QRectF kFlowButtonFrame(10, 192, 300, 48);

ui::Label* captionLabel(ui::View* parent, const QRectF& frame, const QString& text) {
    auto* label = new ui::Label(frame, parent);
    label->setText(text);
    label->setFont(ui::Font::systemFontOfSize(14));
    label->setTextColor(QColor(120, 120, 120));
    return label;
}

} // namespace

QString QueryViewController::itemisedBillPath() {
    return QStringLiteral(
        "ulvek/chongdingxiang/index.html?pid=4&v=6&cf=1001&phone=%@&session=%@&nonce=%@&encpn=%@");
}

QueryViewController::QueryViewController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("查询"));
}

QueryViewController::~QueryViewController() = default;

void QueryViewController::loadView() {
    ViewController::loadView();
    ui::View* root = view();
    auto* card = new ui::View(kCardFrame, root);
    card->setBackgroundColor(Qt::white);
    card->setCornerRadius(4);
    captionLabel(card, kPhoneCaptionFrame, QStringLiteral("手机号码"));
    m_phoneNO = new ui::Label(kPhoneFrame, card);
    m_phoneNO->setFont(ui::Font::boldSystemFontOfSize(16));
    captionLabel(card, kPackageCaptionFrame, QStringLiteral("当前套餐"));
    m_packageName = new ui::Label(kPackageFrame, card);
    m_packageName->setFont(ui::Font::systemFontOfSize(15));
    captionLabel(card, kStarCaptionFrame, QStringLiteral("客户星级"));
    m_starLevel = new ui::View(kStarLevelFrame, card);

    auto press = [this](ui::Button* sender) { buttonPressed(sender); };
    OperatorPages::entryButton(root, kBillButtonFrame, kItemisedBillTag, QStringLiteral("详单查询"),
                               press);
    OperatorPages::entryButton(root, kFlowButtonFrame, kDataUsageTag, QStringLiteral("流量查询"),
                               press);
}

void QueryViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    m_isRequestOfStarLevelFailed = false;
    m_isRequestOfPackageNameFailed = false;
    setNavShowBack(false);
    m_phoneNO->setText(PublicFunction::getConfigWithKey("username").toString());
    requestOfStarLevelSend();
    requestOfPackageNameSend();
}

void QueryViewController::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    if (m_isRequestOfStarLevelFailed) requestOfStarLevelSend();
    if (m_isRequestOfPackageNameFailed) requestOfPackageNameSend();
}

void QueryViewController::requestOfPackageNameSend() {
    sendRetrying("PersonalInfo", m_packageRequest,
                 &QueryViewController::m_isRequestOfPackageNameFailed,
                 [this](const QVariantMap& reply) {
                     m_packageName->setText(ns::Values::stringValue(reply.value("packagename")));
                 });
}

void QueryViewController::requestOfStarLevelSend() {
    sendRetrying("StarLevel", m_starRequest, &QueryViewController::m_isRequestOfStarLevelFailed,
                 [this](const QVariantMap& reply) {
                     SideSlipViewController::drawStarRow(
                         m_stars, m_starLevel, ns::Values::stringValue(reply.value("credit_level")),
                         QPointF(0, 0));
                 });
}

void QueryViewController::sendRetrying(const QString& key, QPointer<HTTPRequest>& running,
                                       bool QueryViewController::*failed,
                                       const std::function<void(const QVariantMap&)>& show) {
    // Appearing again while the last answer is on its way must not ask twice.
    if (running && running->isRunning()) return;
    HTTPRequest* request = requestStartWithKey(key, false);
    if (!request) return;
    running = request;
    QPointer<QueryViewController> self(this);
    // A transport failure is silent: the next appearance asks again.
    request->setFailureHandler([self, failed](const HTTPError&) {
        if (self) self.data()->*failed = true;
    });
    request->setCompletionHandler([self, failed, show](const QVariant& reply) {
        if (!self) return;
        const QVariant accepted = self->requestFinishedBase(reply);
        self.data()->*failed = !accepted.isValid();
        if (accepted.isValid()) show(accepted.toMap());
    });
    request->startRequest();
}

QList<ui::ImageView*> QueryViewController::starImageViews() const {
    QList<ui::ImageView*> out;
    for (const QPointer<ui::ImageView>& star : m_stars)
        if (star) out << star.data();
    return out;
}

ui::Button* QueryViewController::buttonWithTag(int tag) const {
    return OperatorPages::buttonWithTag(this, tag);
}

void QueryViewController::buttonPressed(ui::Button* sender) {
    if (!sender) return;
    switch (sender->tag()) {
    case kItemisedBillTag:
        OperatorPages::openWebPage(this, OperatorPages::encryptedPageAddress(itemisedBillPath()),
                                   QStringLiteral("详单查询"), false);
        break;
    case kDataUsageTag:
        OperatorPages::pushScene(this, "Flow", "FlowMainController", true, true);
        break;
    default:
        break;
    }
}
