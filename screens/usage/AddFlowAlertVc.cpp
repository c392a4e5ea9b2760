#include "screens/usage/AddFlowAlertVc.h"

#include "app/categories/BFLayoutUtils.h"
#include "app/categories/NoCrash.h"
#include "app/core/PublicFunction.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "screens/shell/TavrixApplicationSpecific.h"
#include "screens/usage/FlowFormat.h"
#include "widgets/ModalDialogBox.h"
#include "widgets/ModalDialogView.h"

const QString AddFlowAlertVc::kGroupId = QStringLiteral("add flow");

namespace {
const QSizeF kSize(278, 260);
const QSizeF kImageSize(72, 76);
constexpr double kImageY = 94;
constexpr double kRadioY = 164;
constexpr double kFeeY = 176;
const QRectF kCloseFrame(238, 4, 36, 36);
const QRectF kConfirmFrame(20, 214, 110, 34);
const QRectF kJumpFrame(148, 214, 110, 34);

} // namespace

AddFlowAlertVc::AddFlowAlertVc(QObject* parent) : ViewController(parent) {}

AddFlowAlertVc::~AddFlowAlertVc() {
    dialogDidClose();
}

void AddFlowAlertVc::setAlertView(ModalDialogView* dialog) {
    m_alertView = dialog;
}

void AddFlowAlertVc::loadView() {
    auto* v = new ui::View(QRectF(QPointF(), kSize));
    v->setBackgroundColor(Qt::white);
    setView(v);
    auto* title = new ui::Label(QRectF(0, 16, kSize.width(), 24), v);
    title->setText(QStringLiteral("订购流量加油包"));
    title->setFont(ui::Font::systemFontOfSize(17));
    title->setTextColor(FlowFormat::darkGray());
    title->setTextAlignment(ui::TextAlignment::Center);
    auto* hint = new ui::Label(QRectF(0, 46, kSize.width(), 20), v);
    hint->setText(QStringLiteral("当月有效，次月自动失效"));
    hint->setFont(ui::Font::systemFontOfSize(12));
    hint->setTextColor(QColor(150, 150, 150));
    hint->setTextAlignment(ui::TextAlignment::Center);
    m_closeButton = new ui::Button(kCloseFrame, v);
    m_closeButton->setTitle(QStringLiteral("×"));
    m_closeButton->setTitleColor(QColor(150, 150, 150));
    m_closeButton->titleLabel()->setFont(ui::Font::systemFontOfSize(22));
    m_closeButton->addAction(ui::Control::TouchUpInside, [this] { closeDialogPressed(); });
    // The confirm button's tag is the index reported; never the jump's 3.
    m_confirmButton =
        FlowFormat::filledButton(kConfirmFrame, QStringLiteral("立即订购"),
                                 TavrixApplicationSpecific::tavrix_blueColor(), 15, v);
    m_confirmButton->setTag(kConfirmIndex);
    ui::Button* confirm = m_confirmButton;
    m_confirmButton->addAction(ui::Control::TouchUpInside,
                               [this, confirm] { confirmOrderPressed(confirm); });
    m_jumpButton = FlowFormat::filledButton(kJumpFrame, QStringLiteral("更多流量包"),
                                            TavrixApplicationSpecific::tavrix_greenColor(), 15, v);
    m_jumpButton->addAction(ui::Control::TouchUpInside, [this] { jumpToOrder(); });
}

void AddFlowAlertVc::viewDidAppear(bool animated) {
    ViewController::viewDidAppear(animated);
    m_radioIndex = 0;
    for (const auto& v : m_packViews)
        delete v.data();
    m_packViews.clear();
    const qsizetype n = m_alertView ? m_alertView->listData().size() : 0;
    if (n == 1) {
        addPack(0, 108, 113, 143, true);
    } else if (n == 2) {
        addPack(0, 17, 19, 49, true);
        addPack(1, 189, 192, 222, false);
    } else {
        return;
    }
    RadioButton::addObserverForGroupId(kGroupId, this);
}

void AddFlowAlertVc::addPack(int index, double imageX, double radioX, double feeX, bool checked) {
    ui::View* v = view();
    ui::ImageView* image = BFLayoutUtils::getUIImageView(
        getAddFlowImageName(index), QRectF(QPointF(imageX, kImageY), kImageSize));
    image->setUserInteractionEnabled(true);
    auto* tap = new ui::TapGestureRecognizer(image);
    tap->addTarget(this, [this, index](ui::GestureRecognizer*) {
        index == 0 ? clickProductImage1() : clickProductImage2();
    });
    image->addGestureRecognizer(tap);
    auto* radio = new RadioButton(kGroupId, unsigned(index));
    radio->setFrame(QRectF(radioX, kRadioY, 44, 44));
    radio->setChecked(checked);
    (index == 0 ? m_rb1 : m_rb2) = radio;
    auto* fee = new ui::Label(QRectF(feeX, kFeeY, 60, 20));
    fee->setBackgroundColor(Qt::transparent);
    fee->setText(PublicFunction::getFlowProductFee(
        NoCrash::objectAtIndexNoCrash(m_alertView->listData(), index).toMap()));
    fee->setTextColor(QColor(246, 204, 93));
    fee->setFont(ui::Font::systemFontOfSize(12));
    for (ui::View* part : {static_cast<ui::View*>(image), static_cast<ui::View*>(radio),
                           static_cast<ui::View*>(fee)}) {
        v->addSubview(part);
        m_packViews.append(part);
    }
}

QString AddFlowAlertVc::getAddFlowImageName(int index) const {
    if (!m_alertView) return QString("");
    const qint64 size = PublicFunction::getFlowSize(
        NoCrash::objectAtIndexNoCrash(m_alertView->listData(), index).toMap(), true);
    switch (size) {
    case 20480:
        return QStringLiteral("flow_20_b");
    case 51200:
        return QStringLiteral("flow_50_b");
    case 153600:
        return QStringLiteral("flow_150_b");
    case 1048576:
        return QStringLiteral("flow_1g_b");
    default:
        return QString("");
    }
}

ui::ImageView* AddFlowAlertVc::productImage(int index) const {
    // Each pack adds its picture, radio button and fee, in that order.
    const auto view = m_packViews.value(index * 3);
    return qobject_cast<ui::ImageView*>(view.data());
}

ui::Label* AddFlowAlertVc::feeLabel(int index) const {
    const auto view = m_packViews.value(index * 3 + 2);
    return qobject_cast<ui::Label*>(view.data());
}

void AddFlowAlertVc::radioButtonSelectedAtIndex(unsigned int index, const QString&) {
    m_radioIndex = int(index);
}

void AddFlowAlertVc::clickProductImage1() {
    if (m_rb1) m_rb1->setChecked(true);
    if (m_rb2) m_rb2->setChecked(false);
    m_radioIndex = 0;
}

void AddFlowAlertVc::clickProductImage2() {
    if (m_rb2) m_rb2->setChecked(true);
    if (m_rb1) m_rb1->setChecked(false);
    m_radioIndex = 1;
}

void AddFlowAlertVc::confirmOrderPressed(ui::Button* sender) {
    if (!sender || !m_alertView) return;
    // Nobody left to hear it (the screen that asked has gone): the answer just closes it.
    if (!m_delegate) {
        closeDialogPressed();
        return;
    }
    const QVariantList packs = m_alertView->listData();
    if (packs.isEmpty()) return;
    const QVariant chosen = NoCrash::objectAtIndexNoCrash(packs, m_radioIndex);
    m_alertView->setPara((chosen.isValid() ? chosen : packs.first()).toMap());
    m_delegate->modalDialogButtonTouchUpInside(m_alertView, sender->tag());
}

void AddFlowAlertVc::jumpToOrder() {
    if (!m_alertView) return;
    if (!m_delegate) {
        closeDialogPressed();
        return;
    }
    m_delegate->modalDialogButtonTouchUpInside(m_alertView, kJumpToOrderIndex);
}

void AddFlowAlertVc::closeDialogPressed() {
    if (m_alertView) m_alertView->close();
    dialogDidClose();
}

void AddFlowAlertVc::dialogDidClose() {
    delete m_rb1.data();
    delete m_rb2.data();
}

ModalDialogView* AddFlowAlertVc::showInDialog(const QVariantList& packs, int tag,
                                              ModalDialogViewDelegate* delegate) {
    ModalDialogView* dialog = FlowFormat::dialogWith(view(), tag);
    dialog->setListData(packs);
    setAlertView(dialog);
    setDelegate(delegate);
    dialog->show();
    // The content appears with the dialog: that is when its packs are laid out.
    beginAppearanceTransition(true, false);
    endAppearanceTransition();
    return dialog;
}
