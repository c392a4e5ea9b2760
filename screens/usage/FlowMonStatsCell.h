#pragma once

#include "screens/usage/FlowSlider.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"

#include <QPointer>
#include <QVariantMap>

// One product of a month's data bill: its name, the share used (as a bar and as text) and its
// fee.
class FlowMonStatsCell : public ui::TableViewCell {
    Q_OBJECT
public:
    static const QString kReuseIdentifier; // "FlowMonStatsCell"

    FlowMonStatsCell();

    ui::Label* labelOfName() const { return m_labelOfName; }
    ui::Label* labelOfAmount() const { return m_labelOfAmount; }
    ui::Label* labelOfPercent() const { return m_labelOfPercent; }
    FlowSlider* mySlider() const { return m_mySlider; }
    QVariantMap cellData() const { return m_cellData; }
    void setCellData(const QVariantMap& row);

    void layoutSubviews() override;

private:
    QPointer<ui::Label> m_labelOfName;
    QPointer<ui::Label> m_labelOfAmount;
    QPointer<ui::Label> m_labelOfPercent;
    QPointer<FlowSlider> m_mySlider;
    QVariantMap m_cellData;
};
