#include "screens/usage/DailyUsedCell.h"

#include "app/core/PublicFunction.h"
#include "app/core/tavrixConfig.h"
#include "screens/usage/FlowFormat.h"
#include "platform/foundation/Values.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

const QString DailyUsedCell::kReuseIdentifier = QStringLiteral("DailyUsedCell");

DailyUsedCell::DailyUsedCell() : TableViewCell(Style::Default, kReuseIdentifier) {
    setSelectionStyle(SelectionStyle::None);
    m_labelOfDay = new ui::Label(QRectF(15, 10, 140, 20), contentView());
    m_labelOfDay->setFont(ui::Font::systemFontOfSize(14));
    m_labelOfDay->setTextColor(FlowFormat::darkGray());
    m_labelOfAmount = new ui::Label(QRectF(165, 10, 140, 20), contentView());
    m_labelOfAmount->setFont(ui::Font::systemFontOfSize(14));
    m_labelOfAmount->setTextColor(FlowFormat::darkGray());
    m_labelOfAmount->setTextAlignment(ui::TextAlignment::Right);
}

void DailyUsedCell::setDailyData(const QVariantMap& day) {
    m_dailyData = day;
    layoutSubviews();
}

void DailyUsedCell::layoutSubviews() {
    TableViewCell::layoutSubviews();
    if (m_dailyData.isEmpty() || !m_labelOfDay) return;
    const QString date = ns::Values::stringValue(m_dailyData.value("date"));
    m_labelOfDay->setText(date == PublicFunction::getDateWithStringFormat("yyyy-MM-dd")
                              ? QStringLiteral("今天")
                              : date);
    m_labelOfAmount->setText(
        tavrixConfig::formatOfNetworkFlow(ns::Values::quantityValue(m_dailyData.value("amount"))));
}
