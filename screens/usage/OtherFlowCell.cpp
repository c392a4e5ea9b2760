#include "screens/usage/OtherFlowCell.h"

#include "screens/usage/FlowFormat.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Font.h"
#include "widgets/VerticalAlign.h"

#include <algorithm>
#include <cmath>

const QString OtherFlowCell::kReuseIdentifier = QStringLiteral("OtherFlowCell");

OtherFlowCell::OtherFlowCell() : TableViewCell(Style::Default, kReuseIdentifier) {
    setSelectionStyle(SelectionStyle::None);
    m_labelOfName = new ui::Label(QRectF(15, 8, 290, 22), contentView());
    m_labelOfName->setFont(ui::Font::systemFontOfSize(14));
    m_mySlider = new FlowSlider(QRectF(15, 32, 290, 20), contentView());
    m_labelOfAmount = new ui::Label(QRectF(15, 54, 290, 20), contentView());
    m_labelOfAmount->setFont(ui::Font::systemFontOfSize(12));
    m_labelOfAmount->setTextColor(FlowFormat::darkGray());
}

void OtherFlowCell::setCellData(const QVariantMap& record) {
    m_cellData = record;
    layoutSubviews();
}

float OtherFlowCell::shareLeft(double amount, double total) {
    if (!(total > 0)) return 0;
    const double share = 1 - amount / total;
    return std::isnan(share) ? 0.0f : float(std::clamp(share, 0.0, 1.0));
}

void OtherFlowCell::layoutSubviews() {
    TableViewCell::layoutSubviews();
    if (!m_mySlider) return;
    const QVariant amount = m_cellData.value("amount");
    const QVariant total = m_cellData.value("total");
    m_mySlider->setValue(
        shareLeft(ns::Values::quantityValue(amount), ns::Values::quantityValue(total)));
    m_mySlider->setMinimumTrackImage(QStringLiteral("slider_green_track"));
    m_mySlider->setMaximumTrackImage(QStringLiteral("slider_backgroundImage"));
    m_mySlider->setThumbImage(QStringLiteral("sliderIndicator"));
    m_labelOfName->setNumberOfLines(0);
    m_labelOfName->setText(ns::Values::stringValue(m_cellData.value("productName")));
    m_labelOfName->setTextColor(FlowFormat::darkGray());
    VerticalAlign::alignTop(m_labelOfName);

    // Bounded figures: the difference of any two cannot overflow.
    const qint64 left =
        ns::Values::wholeQuantityValue(total) - ns::Values::wholeQuantityValue(amount);
    const FlowFormat::Amount leftText = FlowFormat::amountOfKb(double(left));
    const FlowFormat::Amount totalText = FlowFormat::amountOfKb(ns::Values::quantityValue(total));
    ui::AttributedString text(QStringLiteral("可用流量"));
    text.appendAttributedString(FlowFormat::greenNumber(leftText.number, 12, QString(), 12));
    text.appendString(leftText.unit);
    text.appendString(QStringLiteral("/"), {ui::Font::systemFontOfSize(12), {}, {}});
    text.appendString(QStringLiteral("总共流量"));
    text.appendAttributedString(FlowFormat::greenNumber(totalText.number, 12, QString(), 12));
    text.appendString(totalText.unit);
    m_labelOfAmount->setAttributedText(text);
    update();
}
