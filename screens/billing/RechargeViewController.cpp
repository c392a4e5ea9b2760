#include "screens/billing/RechargeViewController.h"

#include "app/categories/BFDicUtils.h"
#include "app/categories/Block.h"
#include "app/core/HTTPRequest.h"
#include "app/core/PublicFunction.h"
#include "platform/foundation/Values.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "screens/billing/BillingSupport.h"
#include "screens/shell/TavrixApplicationSpecific.h"
#include "widgets/RoundCornerView.h"

#include <QRegularExpression>

TAVRIX_REGISTER_SCENE("Main", "RechargeViewController", RechargeViewController);
TAVRIX_REGISTER_SEGUE("RootViewController", "RootViewToRecharge", Push, "Main",
                      "RechargeViewController");
TAVRIX_REGISTER_SEGUE("RechargeViewController", "RechargeViewToRechargeRecord", Push, "Main",
                      "RechargeRecordViewController");

namespace {

using TavrixApplicationSpecific::tavrix_blueColor;
using TavrixApplicationSpecific::tavrix_greenColor;

const QString kBankCard = QStringLiteral("BankCard");
const QString kRechargeableCard = QStringLiteral("RechargeableCard");
const QString kPending = QStringLiteral("正在获取金额...");
// The promotion's campaign.
const QString kMarketId = QStringLiteral("8010020141118001");

// The scene's layout, in points of the view below the navigation bar.
struct Layout {
    static constexpr QRectF panel{10, 118, 300, 240};
    static constexpr double bankCardPanelHeight = 240, cardPanelHeight = 200;
    static constexpr double lowerHeight = 146;
    static constexpr double amountWidth = 88, amountHeight = 44, amountPitchX = 96,
                            amountPitchY = 52;
};

// The characters a field takes, counted before a change.
int lengthLimit(const RechargeViewController* screen, const ui::TextField* field) {
    if (field == screen->textFieldOfMoney()) return 3;
    if (field == screen->textFieldOfRechargeableCardNumber()) return 17;
    if (field == screen->textFieldOfRechargeableCardPassword()) return 18;
    return -1;
}

ui::Label* makeLabel(const QRectF& frame, const QString& text, double size, ui::View* parent) {
    auto* label = new ui::Label(frame, parent);
    label->setText(text);
    label->setFont(ui::Font::systemFontOfSize(size));
    label->setTextColor(BillingSupport::darkGrayColor());
    return label;
}

ui::TextField* makeField(const QRectF& frame, const QString& placeholder, ui::View* parent) {
    auto* field = new ui::TextField(frame, parent);
    field->setPlaceholder(placeholder);
    field->setFont(ui::Font::systemFontOfSize(15));
    field->setBackgroundColor(Qt::white);
    field->setBorderStyle(ui::TextField::BorderStyle::RoundedRect);
    field->setKeyboardType(ui::TextField::KeyboardType::NumberPad);
    return field;
}

ui::Button* makeChoice(const QRectF& frame, const QString& title, const QString& image,
                       ui::View* parent) {
    auto* button = new ui::Button(frame, parent);
    button->setTitle(title);
    button->titleLabel()->setFont(ui::Font::systemFontOfSize(15));
    button->setTitleColor(BillingSupport::darkGrayColor());
    button->setTitleColor(Qt::white, ui::Control::Selected);
    button->setBackgroundImage(ui::imageNamed(image));
    button->setBackgroundImage(ui::imageNamed(image + QStringLiteral("_selected")),
                               ui::Control::Selected);
    return button;
}

// A spring of 0.8 s on systems from 7 on; before, a plain animation of timedDuration.
void animatePanel(QObject* target, const QString& key, double timedDuration,
                  const std::function<void(double)>& step, ui::Animation::Completion done = {}) {
    if (PublicFunction::isIOS7OrLater())
        ui::Animation::runSpring(target, key, 0.8, 0.8, 0, step, std::move(done));
    else
        ui::Animation::run(target, key, timedDuration, ui::Animation::Curve::EaseInOut, step,
                           std::move(done));
}

} // namespace

RechargeViewController::RechargeViewController(QObject* parent) : ViewController(parent) {
    setTitle(QStringLiteral("充值缴费"));
    setHidesBottomBarWhenPushed(true);
}

RechargeViewController::~RechargeViewController() = default;

ui::View* RechargeViewController::backGroundView1() const {
    return m_backGroundView1;
}

ui::Button* RechargeViewController::moneyButton(int index) const {
    return index >= 0 && index < kMoneyButtonCount ? m_moneyButtons[size_t(index)].data() : nullptr;
}

void RechargeViewController::loadView() {
    auto* root = new ui::ScrollView(QRectF(QPointF(), ui::Window::screenSize()));
    root->setShowsVerticalScrollIndicator(false);
    setView(root);

    makeLabel(QRectF(15, 12, 75, 30), QStringLiteral("充值号码："), 14, root);
    m_phoneNO = makeField(QRectF(90, 12, 215, 30), QString(), root);
    m_phoneNO->setEnabled(false);
    makeLabel(QRectF(15, 46, 75, 20), QStringLiteral("账户余额："), 14, root);
    m_labelOfRemainMoney = new ui::Label(QRectF(90, 46, 215, 20), root);

    m_buttonOfBankCard =
        makeChoice(QRectF(10, 76, 148, 34), QStringLiteral("银行卡充值"), "recharge_mode", root);
    m_buttonOfRechargeableCard =
        makeChoice(QRectF(162, 76, 148, 34), QStringLiteral("充值卡充值"), "recharge_mode", root);
    for (ui::Button* mode : {m_buttonOfBankCard.data(), m_buttonOfRechargeableCard.data()})
        mode->addTarget(
            this,
            [this](ui::Control* c) {
                bankCardAndRechargeableCardButtonPressed(static_cast<ui::Button*>(c));
            },
            ui::Control::TouchUpInside);
    m_buttonOfBankCard->setSelected(true);

    m_backGroundView1 = new RoundCornerView(Layout::panel, root);
    m_viewOfMoney = new ui::View(QRectF(0, 0, 300, Layout::bankCardPanelHeight), m_backGroundView1);
    m_viewOfMoneyButtons = new ui::View(QRectF(10, 12, 280, 96), m_viewOfMoney);
    for (int i = 0; i < kMoneyButtonCount; ++i) {
        const QRectF frame((i % 3) * Layout::amountPitchX, (i / 3) * Layout::amountPitchY,
                           Layout::amountWidth, Layout::amountHeight);
        auto* button = makeChoice(frame, QString::number(kFixedAmounts[size_t(i)]),
                                  "recharge_amount", m_viewOfMoneyButtons);
        button->addTarget(
            this, [this](ui::Control* c) { moneyButtonPressed(static_cast<ui::Button*>(c)); },
            ui::Control::TouchUpInside);
        m_moneyButtons[size_t(i)] = button;
    }
    m_moneyButtons[0]->setSelected(true);
    m_viewOfOtherMoney = new ui::View(QRectF(10, 12, 280, 96), m_viewOfMoney);
    m_viewOfOtherMoney->setAlpha(0);
    m_viewOfOtherMoney->setHidden(true);
    makeLabel(QRectF(0, 30, 80, 36), QStringLiteral("充值金额："), 14, m_viewOfOtherMoney);
    m_textFieldOfMoney =
        makeField(QRectF(80, 30, 150, 36), QStringLiteral("10-500"), m_viewOfOtherMoney);
    m_textFieldOfMoney->setDelegate(this);
    makeLabel(QRectF(238, 30, 30, 36), QStringLiteral("元"), 14, m_viewOfOtherMoney);

    m_buttonOfOtherMoney = new ui::Button(QRectF(10, 116, 280, 32), m_viewOfMoney);
    m_buttonOfOtherMoney->setTitle(QStringLiteral("其他充值金额"));
    m_buttonOfOtherMoney->setTitleColor(tavrix_blueColor());
    m_buttonOfOtherMoney->titleLabel()->setFont(ui::Font::systemFontOfSize(14));
    m_buttonOfOtherMoney->addAction(ui::Control::TouchUpInside,
                                    [this] { otherMoneyButtonPressed(); });
    makeLabel(QRectF(10, 160, 80, 24), QStringLiteral("实付金额："), 14, m_viewOfMoney);
    m_labelOfPayment = new ui::Label(QRectF(90, 160, 200, 24), m_viewOfMoney);
    auto* note = makeLabel(QRectF(10, 196, 280, 20), QStringLiteral("充值金额为10至500元的整数"),
                           11, m_viewOfMoney);
    note->setTextColor(BillingSupport::lightGrayColor());

    m_viewOfCards = new ui::View(QRectF(0, 0, 300, Layout::cardPanelHeight), m_backGroundView1);
    m_viewOfCards->setAlpha(0);
    m_cardNumber =
        makeField(QRectF(10, 40, 280, 40), QStringLiteral("请输入充值卡卡号"), m_viewOfCards);
    m_cardPassword =
        makeField(QRectF(10, 100, 280, 40), QStringLiteral("请输入充值卡密码"), m_viewOfCards);
    m_cardNumber->setDelegate(this);
    m_cardPassword->setDelegate(this);
    m_viewOfCards->setHidden(true);

    m_backGroundView2 =
        new ui::View(QRectF(Layout::panel.x(), Layout::panel.y() + Layout::bankCardPanelHeight,
                            Layout::panel.width(), Layout::lowerHeight),
                     root);
    m_buttonOfRecharge = new ui::Button(QRectF(0, 12, 300, 44), m_backGroundView2);
    m_buttonOfRecharge->setTitle(QStringLiteral("立即充值"));
    m_buttonOfRecharge->setTitleColor(Qt::white);
    m_buttonOfRecharge->titleLabel()->setFont(ui::Font::boldSystemFontOfSize(17));
    m_buttonOfRecharge->setBackgroundColor(tavrix_blueColor());
    m_buttonOfRecharge->setCornerRadius(5);
    m_buttonOfRecharge->addAction(ui::Control::TouchUpInside, [this] { rechargeButtonPressed(); });
    m_imageViewOfActivity = new ui::ImageView(QRectF(0, 66, 300, 70), m_backGroundView2);
    m_imageViewOfActivity->setContentMode(ui::ContentMode::ScaleAspectFill);
    m_imageViewOfActivity->setClipsToBounds(true);
    m_buttonOfActitvityImage = new ui::Button(QRectF(0, 66, 300, 70), m_backGroundView2);
    m_buttonOfActitvityImage->setBackgroundColor(Qt::transparent);
    m_buttonOfActitvityImage->addAction(ui::Control::TouchUpInside,
                                        [this] { activityImagePressed(); });
    m_buttonOfXIndicator = new ui::Button(QRectF(276, 66, 24, 24), m_backGroundView2);
    m_buttonOfXIndicator->setImage(ui::imageNamed(QStringLiteral("recharge_close")));
    m_buttonOfXIndicator->setHidden(true);
    m_buttonOfXIndicator->addAction(ui::Control::TouchUpInside, [this] { closeActivityImage(); });
}

void RechargeViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    // Where a subscriber looks for the recharges already made: white on the brand-blue bar,
    // as the bar's other buttons.
    auto* history = new ui::Button(QRectF());
    history->setTitle(QStringLiteral("充值记录"));
    history->titleLabel()->setFont(ui::Font::systemFontOfSize(15));
    history->setTitleColor(Qt::white);
    history->setTitleColor(QColor(255, 255, 255, 140), ui::Control::Highlighted);
    history->setBackgroundColor(Qt::transparent);
    const QSizeF fits = history->sizeThatFits(QSizeF());
    history->setFrame(QRectF(0, 0, fits.width() + 4, std::max(fits.height(), 30.0)));
    history->addAction(ui::Control::TouchUpInside, [this] {
        performSegueWithIdentifier(QStringLiteral("RechargeViewToRechargeRecord"), nullptr);
    });
    navigationItem()->setRightBarButtonItem(new ui::BarButtonItem(history));
    m_strOfSelectedCard = kBankCard;
    m_isOtherMoneyButtonPressed = false;
    m_phoneNO->setText(BillingSupport::groupedPhoneNumber(
        PublicFunction::getConfigWithKey(QStringLiteral("username")).toString()));
    requestOfPaymentInfoSend();
    requestOfComboSend();
    requestOfSpecialActivitySend();
    m_strOfSelectMoney = QStringLiteral("20");
    m_strOfRechargeMoney = m_strOfSelectMoney;
    showPendingPayment();
    requestOfRechargeDiscountSend();
    m_dicOfActivity.clear();
}

void RechargeViewController::showPendingPayment() {
    m_labelOfPayment->setText(kPending);
    m_labelOfPayment->setTextColor(Qt::black);
    m_labelOfPayment->setFont(ui::Font::systemFontOfSize(10));
}

// --- Requests ---

HTTPRequest* RechargeViewController::quietRequest(const QString& key) {
    HTTPRequest* request = requestStartWithKey(key, false);
    request->setFailureHandler([](const HTTPError&) {});
    return request;
}

void RechargeViewController::requestOfPaymentInfoSend() {
    HTTPRequest* request = requestStartWithKey(QStringLiteral("PaymentInfo"), true);
    request->setPostValue(QStringLiteral("2"), QStringLiteral("channel"));
    request->setCompletionHandler([this](const QVariant& reply) { paymentInfoReplied(reply); });
    request->startRequest();
}

std::optional<int> RechargeViewController::amountOfTitle(const QString& title) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    const QString text = title.trimmed();
    if (!digits.match(text).hasMatch()) return std::nullopt;
    const int amount = text.toInt();
    if (amount < kMinimumAmount || amount > kMaximumAmount) return std::nullopt;
    return amount;
}

void RechargeViewController::paymentInfoReplied(const QVariant& reply) {
    if (auto* scroll = qobject_cast<ui::ScrollView*>(view())) scroll->setScrollEnabled(true);
    const QVariant judged = requestFinishedBase(reply);
    if (!judged.isValid()) return;
    const QVariantList list = BFDicUtils::getList(judged, QStringLiteral("list"));
    for (int i = 0; i < kMoneyButtonCount; ++i) {
        ui::Button* button = m_moneyButtons[size_t(i)];
        if (!button || i >= list.size()) continue;
        const QVariant option = list[i];
        // The button charges what it shows: a price it cannot stand for gives way to the
        // fixed amount, shown as such.
        const auto amount = amountOfTitle(BFDicUtils::getString(option, QStringLiteral("price")));
        m_amounts[size_t(i)] = amount.value_or(kFixedAmounts[size_t(i)]);
        button->setTitle(QString::number(m_amounts[size_t(i)]));
        const QString image = BFDicUtils::getString(option, QStringLiteral("image"));
        if (image.isEmpty()) continue;
        auto* picture = new ui::ImageView(button->frame());
        m_viewOfMoneyButtons->insertSubviewAtIndex(
            picture, int(m_viewOfMoneyButtons->subviews().indexOf(button)) + 1);
        BillingSupport::loadImage(picture, image, QString());
    }
    // A chosen button whose amount changed charges its new amount.
    for (int i = 0; i < kMoneyButtonCount; ++i) {
        ui::Button* button = m_moneyButtons[size_t(i)];
        if (!button || !button->isSelected()) continue;
        const QString amount = QString::number(m_amounts[size_t(i)]);
        if (amount == m_strOfSelectMoney) break;
        m_strOfSelectMoney = amount;
        if (!m_isOtherMoneyButtonPressed) {
            m_strOfRechargeMoney = amount;
            showPendingPayment();
            requestOfRechargeDiscountSend();
        }
        break;
    }
}

void RechargeViewController::requestOfComboSend() {
    HTTPRequest* request = quietRequest(QStringLiteral("MainBillInfo"));
    request->setCompletionHandler([this](const QVariant& reply) {
        const QVariant judged = requestFinishedBase(reply);
        if (!judged.isValid() || !judged.toMap().contains(QStringLiteral("current"))) return;
        const QVariant remain =
            BFDicUtils::getDic(judged, QStringLiteral("current")).value(QStringLiteral("remain"));
        m_labelOfRemainMoney->setAttributedText(
            BillingSupport::moneyText(remain, tavrix_greenColor(), 12));
    });
    request->startRequest();
}

void RechargeViewController::requestOfSpecialActivitySend() {
    HTTPRequest* request = quietRequest(QStringLiteral("SpecialActivity"));
    request->setPostValue(kMarketId, QStringLiteral("marketId"));
    request->setCompletionHandler([this](const QVariant& reply) {
        const QVariant judged = requestFinishedBase(reply);
        if (!judged.isValid()) return;
        m_dicOfActivity = judged.toMap();
        BillingSupport::loadImage(m_imageViewOfActivity,
                                  BFDicUtils::getString(judged, QStringLiteral("image")),
                                  QString());
        if (BFDicUtils::getString(judged, QStringLiteral("closeable")) == u"1" &&
            m_buttonOfXIndicator)
            m_buttonOfXIndicator->setHidden(false);
    });
    request->startRequest();
}

void RechargeViewController::requestOfRechargeDiscountSend() {
    // The sum shown is always that of the amount chosen last.
    if (HTTPRequest* older = m_offerRequest) older->cancleRequest();
    HTTPRequest* request = quietRequest(QStringLiteral("RechargeOffer"));
    m_offerRequest = request;
    request->setPostValue(m_strOfRechargeMoney, QStringLiteral("amount"));
    request->setCompletionHandler([this, request](const QVariant& reply) {
        if (request != m_offerRequest) return;
        const QVariant judged = requestFinishedBase(reply);
        if (!judged.isValid()) return;
        m_labelOfPayment->setAttributedText(BillingSupport::moneyText(
            judged.toMap().value(QStringLiteral("amount")), tavrix_blueColor(), 15));
    });
    request->startRequest();
}

void RechargeViewController::requestOfBankCardSend(const QString& amount) {
    HTTPRequest* request = requestStartWithKey(QStringLiteral("Payment"), true);
    request->setAtMostOnce(true);
    request->setPostValue(amount, QStringLiteral("amount"));
    request->setCompletionHandler([this](const QVariant& reply) {
        const QVariant judged = requestFinishedBase(reply);
        if (!judged.isValid()) return;
        const QString url = BFDicUtils::getString(judged, QStringLiteral("url"));
        if (!BillingSupport::isWebAddress(url) ||
            !BillingSupport::pushWebPage(this, url, QStringLiteral("充值")))
            PublicFunction::showAlert(QString(),
                                      QStringLiteral("支付页面暂时无法打开，请稍后再试"));
    });
    request->startRequest();
}

void RechargeViewController::requestOfRechargeableCardSend() {
    HTTPRequest* request = requestStartWithKey(QStringLiteral("Card"), true);
    request->setAtMostOnce(true);
    request->setPostValue(m_cardNumber->text(), QStringLiteral("cardno"));
    request->setPostValue(m_cardPassword->text(), QStringLiteral("cardpwd"));
    request->setCompletionHandler([this](const QVariant& reply) {
        if (!requestFinishedBase(reply).isValid()) return;
        Block::alertWithTitle(
            QString(), QStringLiteral("充值成功"), [](int) {}, QStringLiteral("确定"), QString())
            ->show();
    });
    request->startRequest();
}

// --- Actions ---

void RechargeViewController::moneyButtonPressed(ui::Button* sender) {
    hideKeyboard();
    int index = -1;
    for (int i = 0; i < kMoneyButtonCount; ++i) {
        ui::Button* button = m_moneyButtons[size_t(i)];
        if (!button) continue;
        button->setSelected(button == sender);
        if (button == sender) index = i;
    }
    if (index < 0) return;
    m_strOfSelectMoney = QString::number(m_amounts[size_t(index)]);
    m_strOfRechargeMoney = m_strOfSelectMoney;
    showPendingPayment();
    requestOfRechargeDiscountSend();
}

void RechargeViewController::otherMoneyButtonPressed() {
    // Editing ends first, so what was typed cannot land after the switch.
    hideKeyboard();
    if (m_isOtherMoneyButtonPressed) {
        m_buttonOfOtherMoney->setTitle(QStringLiteral("其他充值金额"));
        m_strOfRechargeMoney = m_strOfSelectMoney;
    } else {
        m_buttonOfOtherMoney->setTitle(QStringLiteral("常用充值金额"));
        m_strOfRechargeMoney = m_textFieldOfMoney->text();
    }
    const double buttons = m_isOtherMoneyButtonPressed ? 1 : 0;
    QPointer<ui::View> buttonsView = m_viewOfMoneyButtons;
    QPointer<ui::View> otherView = m_viewOfOtherMoney;
    const double buttonsFrom = buttonsView->alpha();
    const double otherFrom = otherView->alpha();
    // A switch still running ends first, so its end cannot hide what this one shows; this
    // one goes on from where that one was.
    ui::Animation::finish(m_viewOfMoneyButtons, QStringLiteral("amountPanel"));
    buttonsView->setAlpha(buttonsFrom);
    otherView->setAlpha(otherFrom);
    buttonsView->setHidden(false);
    otherView->setHidden(false);
    animatePanel(
        m_viewOfMoneyButtons, QStringLiteral("amountPanel"), 0.8,
        [=](double p) {
            if (buttonsView) buttonsView->setAlpha(buttonsFrom + (buttons - buttonsFrom) * p);
            if (otherView) otherView->setAlpha(otherFrom + ((1 - buttons) - otherFrom) * p);
        },
        [=](bool) {
            // The part faded out takes no clicks.
            if (buttonsView) buttonsView->setHidden(buttons == 0);
            if (otherView) otherView->setHidden(buttons == 1);
        });
    showPendingPayment();
    requestOfRechargeDiscountSend();
    m_isOtherMoneyButtonPressed = !m_isOtherMoneyButtonPressed;
}

void RechargeViewController::bankCardAndRechargeableCardButtonPressed(ui::Button* sender) {
    m_buttonOfBankCard->setSelected(false);
    m_buttonOfRechargeableCard->setSelected(false);
    hideKeyboard();
    if (!sender) return;
    sender->setSelected(true);
    const bool bankCard = sender == m_buttonOfBankCard;
    m_strOfSelectedCard = bankCard ? kBankCard : kRechargeableCard;
    const double height = bankCard ? Layout::bankCardPanelHeight : Layout::cardPanelHeight;
    QPointer<ui::View> money = m_viewOfMoney;
    QPointer<ui::View> cards = m_viewOfCards;
    QPointer<ui::View> panel = m_backGroundView1.data();
    QPointer<ui::View> lower = m_backGroundView2;
    const double moneyFrom = money->alpha(), cardsFrom = cards->alpha();
    const QRectF panelFrom = panel->frame(), lowerFrom = lower->frame();
    // As for the amount panel: the running switch ends, this one goes on from where it was.
    ui::Animation::finish(m_backGroundView1, QStringLiteral("mode"));
    money->setAlpha(moneyFrom);
    cards->setAlpha(cardsFrom);
    panel->setFrame(panelFrom);
    lower->setFrame(lowerFrom);
    const double moneyTo = bankCard ? 1 : 0;
    money->setHidden(false);
    cards->setHidden(false);
    animatePanel(
        m_backGroundView1, QStringLiteral("mode"), 0.5,
        [=](double p) {
            if (!money || !cards || !panel || !lower) return;
            money->setAlpha(moneyFrom + (moneyTo - moneyFrom) * p);
            cards->setAlpha(cardsFrom + ((1 - moneyTo) - cardsFrom) * p);
            QRectF f = panelFrom;
            f.setHeight(panelFrom.height() + (height - panelFrom.height()) * p);
            panel->setFrame(f);
            QRectF l = lowerFrom;
            l.moveTop(lowerFrom.y() + (panelFrom.y() + height - lowerFrom.y()) * p);
            lower->setFrame(l);
        },
        [=](bool) {
            // The hidden panel takes no clicks.
            if (money) money->setHidden(moneyTo == 0);
            if (cards) cards->setHidden(moneyTo == 1);
        });
}

void RechargeViewController::rechargeButtonPressed() {
    // What is being typed counts: editing ends (and the amount is taken) before the check.
    hideKeyboard();
    if (m_strOfSelectedCard == kBankCard) {
        if (m_strOfRechargeMoney.isEmpty()) {
            PublicFunction::showAlert(QString(), QStringLiteral("请输入正确金额"));
            return;
        }
        const qint64 amount = ns::Values::integerValue(m_strOfRechargeMoney);
        if (amount < kMinimumAmount) {
            PublicFunction::showAlert(QString(), QStringLiteral("充值金额不能小于10元"));
            return;
        }
        if (amount > kMaximumAmount) {
            PublicFunction::showAlert(QString(), QStringLiteral("充值金额不能大于500元"));
            return;
        }
        requestOfBankCardSend(QString::number(amount));
        return;
    }
    if (m_cardNumber->text().isEmpty()) {
        PublicFunction::showAlert(QString(), QStringLiteral("请输入充值卡卡号"));
        return;
    }
    if (m_cardPassword->text().isEmpty()) {
        PublicFunction::showAlert(QString(), QStringLiteral("请输入充值卡密码"));
        return;
    }
    requestOfRechargeableCardSend();
}

void RechargeViewController::activityImagePressed() {
    const QString address = BFDicUtils::getString(m_dicOfActivity, QStringLiteral("data"));
    // No banner yet, or one without a page: say so rather than open a blank page.
    if (!BillingSupport::isWebAddress(address) ||
        !BillingSupport::pushWebPage(
            this, address, BFDicUtils::getString(m_dicOfActivity, QStringLiteral("name"))))
        PublicFunction::showAlert(QString(), QStringLiteral("暂无可查看的活动"));
}

void RechargeViewController::closeActivityImage() {
    for (ui::View* v : {static_cast<ui::View*>(m_imageViewOfActivity.data()),
                        static_cast<ui::View*>(m_buttonOfActitvityImage.data()),
                        static_cast<ui::View*>(m_buttonOfXIndicator.data())}) {
        if (!v) continue;
        v->removeFromSuperview();
        v->deleteLater();
    }
}

// --- Text fields ---

bool RechargeViewController::textFieldShouldBeginEditing(ui::TextField* field) {
    return textFieldShouldBeginEditingBase(field);
}

bool RechargeViewController::textField(ui::TextField* field, ui::TextRange,
                                       const QString& replacement) {
    const int limit = lengthLimit(this, field);
    if (limit < 0 || field->text().size() < limit) return true;
    return replacement.isEmpty();
}

void RechargeViewController::textFieldDidEndEditing(ui::TextField* field) {
    if (field != m_textFieldOfMoney) return;
    showPendingPayment();
    if (field->text().isEmpty()) field->setText(QStringLiteral("0"));
    m_strOfRechargeMoney = field->text();
    requestOfRechargeDiscountSend();
}
