#pragma once

#include "platform/foundation/Weak.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "screens/usage/OrderAlertVC.h"
#include "widgets/ModalDialogBox.h"
#include "widgets/ModalDialogView.h"
#include "widgets/ModalDialogViewDelegate.h"
#include "widgets/RoundCornerButton.h"

#include <QPointer>
#include <QVariantMap>

// One data product of the plan-change screen: its size picture, fee and size, when it takes
// effect, its state or purchase count, and "立即订购", which asks for confirmation first.
class FlowSuitCell : public ui::TableViewCell {
    Q_OBJECT
public:
    static const QString kReuseIdentifier; // "status"

    // A pooled row of the table, or a new one.
    static FlowSuitCell* cellWithTableView(ui::TableView* table);
    FlowSuitCell();

    QVariantMap cellData() const { return m_cellData; }
    void setCellData(const QVariantMap& data) { m_cellData = data; }
    bool isRecommend() const { return m_isRecommend; }
    void setIsRecommend(bool on) { m_isRecommend = on; }
    bool isSuit() const { return m_isSuit; }
    void setIsSuit(bool on) { m_isSuit = on; }
    bool isLast() const { return m_isLast; }
    void setIsLast(bool on) { m_isLast = on; }
    ModalDialogViewDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(ModalDialogViewDelegate* delegate) { m_delegate.reset(delegate); }

    ui::Button* tcIcon() const { return m_tcIcon; }
    ui::Label* labelOfName() const { return m_labelOfName; }
    ui::Label* labelOfDesc() const { return m_labelOfDesc; }
    ui::Label* labelOfDesc2() const { return m_labelOfDesc2; }
    RoundCornerButton* orderBtn() const { return m_orderBtn; }
    ui::ImageView* line() const { return m_line; }
    OrderAlertVC* controller() const { return m_controller; }
    ModalDialogView* alertView() const { return m_alertView; }
    // The size picture of a pack row: "flow_20_s", "flow_50_s", "flow_150_s", "flow_1g_s", or
    // for any other size the drop without a size on it (kOtherSizePicture), which the row
    // writes the size over.
    static QString sizePicture(qint64 kb);
    static const QString kOtherSizePicture; // "flow_other_s"

    void layoutSubviews() override;
    void clickOrderBtn();
    void showOrderTips();

private:
    QVariantMap m_cellData;
    bool m_isRecommend = false;
    bool m_isSuit = false;
    bool m_isLast = false;
    ns::Weak<ModalDialogViewDelegate> m_delegate;
    QPointer<ui::Button> m_tcIcon;
    QPointer<ui::Label> m_labelOfName;
    QPointer<ui::Label> m_labelOfDesc;
    QPointer<ui::Label> m_labelOfDesc2;
    QPointer<RoundCornerButton> m_orderBtn;
    QPointer<ui::ImageView> m_line;
    QPointer<OrderAlertVC> m_controller;
    QPointer<ModalDialogView> m_alertView;
};
