#include "screens/usage/OrderAlertVC.h"

#include "platform/ui/Font.h"
#include "screens/shell/TavrixApplicationSpecific.h"
#include "screens/usage/FlowFormat.h"
#include "widgets/ModalDialogBox.h"
#include "widgets/ModalDialogView.h"
#include "widgets/VerticalUpAlignment.h"

namespace {
// The content of the dialog box.
const QSizeF kSize(278, 290);
const QRectF kTitleFrame(0, 12, 278, 24);
const QRectF kNameFrame(20, 46, 238, 20);
const QRectF kLevelFrame(20, 96, 238, 20);
const QRectF kDescFrame(20, 128, 238, 20);
const QRectF kCancelFrame(20, 240, 110, 34);
const QRectF kOrderFrame(148, 240, 110, 34);
constexpr double kNameMaxHeight = 47;
constexpr double kLevelMaxHeight = 47;
constexpr double kDescMaxHeight = 100;

} // namespace

OrderAlertVC::OrderAlertVC(QObject* parent) : ui::ViewController(parent) {}

OrderAlertVC::~OrderAlertVC() = default;

void OrderAlertVC::initProduct(const QString& name, const QString& level, const QString& desc) {
    m_name = name;
    m_level = level;
    m_desc = desc;
}

void OrderAlertVC::setAlertView(ModalDialogView* dialog) {
    m_alertView = dialog;
}

void OrderAlertVC::loadView() {
    auto* v = new ui::View(QRectF(QPointF(), kSize));
    v->setBackgroundColor(Qt::white);
    setView(v);
    auto* title = FlowFormat::textLabel(kTitleFrame, 17, FlowFormat::darkGray(), v);
    title->setText(QStringLiteral("订购确认"));
    title->setTextAlignment(ui::TextAlignment::Center);
    m_nameLBL = FlowFormat::textLabel(kNameFrame, 15, Qt::black, v);
    m_levelLBL =
        FlowFormat::textLabel(kLevelFrame, 14, TavrixApplicationSpecific::tavrix_greenColor(), v);
    m_descLBL = FlowFormat::textLabel(kDescFrame, 12, QColor(150, 150, 150), v);
    m_cancelBtn = FlowFormat::filledButton(kCancelFrame, QStringLiteral("取消"),
                                           QColor(180, 180, 180), 15, v);
    m_cancelBtn->setTag(kCancelIndex);
    m_orderBtn = FlowFormat::filledButton(kOrderFrame, QStringLiteral("确认订购"),
                                          TavrixApplicationSpecific::tavrix_blueColor(), 15, v);
    m_orderBtn->setTag(kOrderIndex);
    for (ui::Button* b : {m_cancelBtn.data(), m_orderBtn.data()})
        b->addTarget(
            this, [this, b](ui::Control*) { orderAlertBtnPressed(b); }, ui::Control::TouchUpInside);
}

void OrderAlertVC::viewDidLoad() {
    ui::ViewController::viewDidLoad();
    for (ui::Label* label : {m_nameLBL.data(), m_descLBL.data(), m_levelLBL.data()})
        label->setNumberOfLines(0);
    VerticalUpAlignment::verticalUpAlignmentWithText(m_nameLBL, m_name, kNameMaxHeight);
    VerticalUpAlignment::verticalUpAlignmentWithText(m_descLBL, m_desc, kDescMaxHeight);
    VerticalUpAlignment::verticalUpAlignmentWithText(m_levelLBL, m_level, kLevelMaxHeight);
}

void OrderAlertVC::orderAlertBtnPressed(ui::Button* sender) {
    if (!sender || !m_alertView) return;
    // Nobody left to hear it (the screen that asked has gone): the answer just closes it.
    if (!m_delegate) {
        m_alertView->close();
        return;
    }
    m_delegate->modalDialogButtonTouchUpInside(m_alertView, sender->tag());
}

ModalDialogView* OrderAlertVC::showInDialog(const QVariantMap& para, int tag,
                                            ModalDialogViewDelegate* delegate) {
    ModalDialogView* dialog = FlowFormat::dialogWith(view(), tag);
    dialog->setPara(para);
    setAlertView(dialog);
    setDelegate(delegate);
    dialog->show();
    return dialog;
}
