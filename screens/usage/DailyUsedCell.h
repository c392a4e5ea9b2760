#pragma once

#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"

#include <QPointer>
#include <QVariantMap>

// One day of the daily usage list: "今天" or the date, and the amount used.
class DailyUsedCell : public ui::TableViewCell {
    Q_OBJECT
public:
    static const QString kReuseIdentifier; // "DailyUsedCell"

    DailyUsedCell();

    ui::Label* labelOfDay() const { return m_labelOfDay; }
    ui::Label* labelOfAmount() const { return m_labelOfAmount; }
    QVariantMap dailyData() const { return m_dailyData; }
    void setDailyData(const QVariantMap& day);

    void layoutSubviews() override;

private:
    QPointer<ui::Label> m_labelOfDay;
    QPointer<ui::Label> m_labelOfAmount;
    QVariantMap m_dailyData;
};
