#include "screens/usage/FlowMonStatsCell.h"

#include "screens/usage/FlowFormat.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Font.h"
#include "widgets/VerticalAlign.h"

const QString FlowMonStatsCell::kReuseIdentifier = QStringLiteral("FlowMonStatsCell");

FlowMonStatsCell::FlowMonStatsCell() : TableViewCell(Style::Default, kReuseIdentifier) {
    setSelectionStyle(SelectionStyle::None);
    m_labelOfName = new ui::Label(QRectF(15, 6, 200, 20), contentView());
    m_labelOfName->setFont(ui::Font::systemFontOfSize(14));
    m_labelOfName->setTextColor(FlowFormat::darkGray());
    m_mySlider = new FlowSlider(QRectF(15, 28, 200, 20), contentView());
    m_labelOfPercent = new ui::Label(QRectF(15, 48, 200, 16), contentView());
    m_labelOfPercent->setFont(ui::Font::systemFontOfSize(11));
    m_labelOfPercent->setTextColor(FlowFormat::darkGray());
    m_labelOfAmount = new ui::Label(QRectF(220, 25, 85, 20), contentView());
    m_labelOfAmount->setFont(ui::Font::systemFontOfSize(14));
    m_labelOfAmount->setTextColor(FlowFormat::darkGray());
    m_labelOfAmount->setTextAlignment(ui::TextAlignment::Right);
}

void FlowMonStatsCell::setCellData(const QVariantMap& row) {
    m_cellData = row;
    layoutSubviews();
}

void FlowMonStatsCell::layoutSubviews() {
    TableViewCell::layoutSubviews();
    if (!m_mySlider) return;
    const QVariant percentage = m_cellData.value("percentage");
    // The bar shows the share left; the slider keeps it within the bar.
    m_mySlider->setValue(float(1 - ns::Values::quantityValue(percentage) / 100));
    m_mySlider->setMinimumTrackImage(QStringLiteral("slider_green_track"));
    m_mySlider->setMaximumTrackImage(QStringLiteral("slider_backgroundImage"));
    m_mySlider->setThumbImage(QStringLiteral("sliderIndicator"));
    m_labelOfName->setText(ns::Values::stringValue(m_cellData.value("productName")));
    VerticalAlign::alignTop(m_labelOfName);
    m_labelOfPercent->setText(QStringLiteral("实际使用：") + ns::Values::stringValue(percentage) +
                              QStringLiteral("%"));
    m_labelOfAmount->setText(m_cellData.contains("fee")
                                 ? ns::Values::stringValue(m_cellData.value("fee")) +
                                       QStringLiteral("元")
                                 : QStringLiteral("0元"));
}
