#pragma once

#include "screens/usage/FlowSlider.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"

#include <QPointer>
#include <QVariantMap>

// One free data resource: its name, a bar of the share left, and what is left of how much.
class OtherFlowCell : public ui::TableViewCell {
    Q_OBJECT
public:
    static const QString kReuseIdentifier; // "OtherFlowCell"

    OtherFlowCell();

    ui::Label* labelOfName() const { return m_labelOfName; }
    ui::Label* labelOfAmount() const { return m_labelOfAmount; }
    FlowSlider* mySlider() const { return m_mySlider; }
    QVariantMap cellData() const { return m_cellData; }
    void setCellData(const QVariantMap& record);
    // The share of a resource left: 1 - amount / total within [0, 1]; nothing for a total of 0.
    static float shareLeft(double amount, double total);

    void layoutSubviews() override;

private:
    QPointer<ui::Label> m_labelOfName;
    QPointer<ui::Label> m_labelOfAmount;
    QPointer<FlowSlider> m_mySlider;
    QVariantMap m_cellData;
};
