#include "screens/usage/FlowSuitCell.h"

#include "app/categories/BFLayoutUtils.h"
#include "app/core/PublicFunction.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ViewController.h"
#include "screens/shell/TavrixApplicationSpecific.h"
#include "screens/usage/FlowFormat.h"

#include <QFontMetricsF>

const QString FlowSuitCell::kReuseIdentifier = QStringLiteral("status");
const QString FlowSuitCell::kOtherSizePicture = QStringLiteral("flow_other_s");

namespace {
const QRectF kIconFrame(15, 10, 36, 31);
const QRectF kPackIconFrame(15, 14, 38, 41);
const QColor kFaint(209, 209, 209);
const QColor kDisabled(226, 226, 226);
// The plan picture's size text sits low on the package.
const QMarginsF kPlanTitleInsets(0, 8, 0, 0);
// A size written on the drop sits where the named sizes' pictures have theirs, in their bold
// face, within the drop's body; a longer size takes a smaller face rather than being cut.
const QMarginsF kDropTitleInsets(0, 13, 0, 0);
constexpr double kDropTextWidth = 28;
constexpr double kDropFontSize = 10;
constexpr double kDropMinimumFontSize = 6;

QFont dropFont(const QString& text) {
    for (double size = kDropFontSize; size > kDropMinimumFontSize; --size) {
        const QFont font = ui::Font::boldSystemFontOfSize(size);
        if (QFontMetricsF(font).horizontalAdvance(text) <= kDropTextWidth) return font;
    }
    return ui::Font::boldSystemFontOfSize(kDropMinimumFontSize);
}
} // namespace

FlowSuitCell* FlowSuitCell::cellWithTableView(ui::TableView* table) {
    if (auto* cell = qobject_cast<FlowSuitCell*>(
            table ? table->dequeueReusableCellWithIdentifier(kReuseIdentifier) : nullptr))
        return cell;
    return new FlowSuitCell;
}

FlowSuitCell::FlowSuitCell() : TableViewCell(Style::Default, kReuseIdentifier) {
    ui::View* content = contentView();
    m_tcIcon = BFLayoutUtils::getUIButton(QString(""), QStringLiteral("flow_package.png"),
                                          QStringLiteral("flow_package.png"), kIconFrame);
    m_tcIcon->setTitleColor(Qt::white);
    m_tcIcon->titleLabel()->setFont(ui::Font::systemFontOfSize(12));
    m_tcIcon->setTitleEdgeInsets(kPlanTitleInsets);
    content->addSubview(m_tcIcon);
    m_labelOfName =
        BFLayoutUtils::getUILabel(QString(""), QRectF(78, 18, 79, 12), 12, {0, 0, 0, 1});
    content->addSubview(m_labelOfName);
    m_labelOfDesc = BFLayoutUtils::getUILabel(QStringLiteral("生效时间：次月生效"),
                                              QRectF(78, 32, 117, 10), 10, {209, 209, 209, 1});
    m_labelOfDesc->setNumberOfLines(0);
    content->addSubview(m_labelOfDesc);
    m_orderBtn = new RoundCornerButton(QRectF(210, 20, 80, 20), content);
    m_orderBtn->setBackgroundColor(TavrixApplicationSpecific::tavrix_blueColor());
    m_orderBtn->setTitleColor(Qt::white, ui::Control::Normal);
    m_orderBtn->setTitleColor(Qt::white, ui::Control::Highlighted);
    m_orderBtn->setTitle(QStringLiteral("立即订购"));
    m_orderBtn->titleLabel()->setFont(ui::Font::systemFontOfSize(12));
    m_orderBtn->addTarget(
        this, [this](ui::Control*) { clickOrderBtn(); }, ui::Control::TouchUpInside);
    m_labelOfDesc2 =
        BFLayoutUtils::getUILabel(QString(""), QRectF(200, 38, 100, 18), 10, {209, 209, 209, 1});
    m_labelOfDesc2->setNumberOfLines(0);
    m_labelOfDesc2->setTextAlignment(ui::TextAlignment::Center);
    content->addSubview(m_labelOfDesc2);
    m_line = BFLayoutUtils::getUIImageView(QStringLiteral("onePxLine"),
                                           QRectF(0, 60, frame().width(), 1));
    content->addSubview(m_line);
    setSelectionStyle(SelectionStyle::None);
}

QString FlowSuitCell::sizePicture(qint64 kb) {
    switch (kb) {
    case 153600:
        return QStringLiteral("flow_150_s");
    case 51200:
        return QStringLiteral("flow_50_s");
    case 20480:
        return QStringLiteral("flow_20_s");
    case 1048576:
        return QStringLiteral("flow_1g_s");
    default:
        // The 1G picture has its size written on it: another size needs a drop of its own.
        return kOtherSizePicture;
    }
}

void FlowSuitCell::layoutSubviews() {
    TableViewCell::layoutSubviews();
    if (!m_orderBtn) return;
    // Everything below follows this row's data alone: a reused row keeps nothing of its past.
    const qint64 state = ns::Values::integerValue(m_cellData.value("state"));
    const bool orderable = state != 1 && state != 2;
    m_labelOfDesc2->setText(state == 1   ? QStringLiteral("当前在用")
                            : state == 2 ? QStringLiteral("已办理，下月生效")
                                         : QString(""));
    m_orderBtn->setEnabled(orderable);
    m_orderBtn->setBackgroundColor(orderable ? TavrixApplicationSpecific::tavrix_blueColor()
                                             : kDisabled);
    if (m_isSuit) {
        m_labelOfDesc->setText(QStringLiteral("生效时间：次月生效"));
    } else {
        m_labelOfDesc->setText(QStringLiteral("生效时间：当月生效"));
        const qint64 bought = ns::Values::wholeQuantityValue(m_cellData.value("number"));
        if (bought >= 1) m_labelOfDesc2->setText(QStringLiteral("已购%1次").arg(bought));
    }
    const QVariant feeValue = m_cellData.value("fee");
    const QString fee = ns::Values::isString(feeValue) || ns::Values::isNumber(feeValue)
                            ? ns::Values::stringValue(feeValue)
                            : QString("");
    const qint64 size = PublicFunction::getFlowSize(m_cellData, m_isRecommend);
    const QString sizeText = PublicFunction::changeFlowUnit(size, true);
    const QString number = sizeText.chopped(1);
    const QString unit = sizeText.right(1);
    ui::AttributedString name = FlowFormat::greenNumber(fee, 12, QStringLiteral("元/月"), 10);
    name.appendAttributedString(FlowFormat::greenNumber(number, 12, unit, 10));
    m_labelOfName->setAttributedText(name);

    // A plan shows its size as text on the package picture; a pack the picture of its size,
    // or a plain drop with its size written over it.
    const QString picture = m_isSuit ? QStringLiteral("flow_package.png") : sizePicture(size);
    const bool sizeAsTitle = m_isSuit || picture == kOtherSizePicture;
    m_tcIcon->setFrame(m_isSuit ? kIconFrame : kPackIconFrame);
    m_tcIcon->titleLabel()->setFont(m_isSuit ? ui::Font::systemFontOfSize(12) : dropFont(sizeText));
    m_tcIcon->setTitleEdgeInsets(m_isSuit ? kPlanTitleInsets : kDropTitleInsets);
    m_tcIcon->setTitle(sizeAsTitle ? sizeText : QString(""));
    const QImage background = ui::imageNamed(picture);
    m_tcIcon->setBackgroundImage(background, ui::Control::Normal);
    m_tcIcon->setBackgroundImage(background, ui::Control::Highlighted);
    m_line->setFrame(QRectF(0, 60, frame().width(), 1));
    m_line->setHidden(m_isLast);
}

void FlowSuitCell::clickOrderBtn() {
    showOrderTips();
}

void FlowSuitCell::showOrderTips() {
    if (m_alertView) m_alertView->close();
    auto* controller = new OrderAlertVC;
    controller->initProduct(PublicFunction::getFlowProductName(m_cellData, m_isRecommend),
                            PublicFunction::getFlowProductLevel(m_cellData, m_isRecommend),
                            PublicFunction::getFlowProductDesc(m_cellData, m_isRecommend));
    const QVariantMap para{
        {"marketId", PublicFunction::getFlowMarketId(m_cellData, m_isRecommend)},
        {"productId", QString::number(PublicFunction::getFlowProductId(m_cellData, m_isRecommend))},
    };
    m_controller = controller;
    m_alertView = controller->showInDialog(para, 0, m_delegate.get());
    m_alertView->closeWithScreen(ui::ViewController::enclosingViewController(this));
    // The confirmation outlives a row rebuilt under it: it goes with its dialog.
    QObject::connect(m_alertView, &QObject::destroyed, controller, &QObject::deleteLater);
}
