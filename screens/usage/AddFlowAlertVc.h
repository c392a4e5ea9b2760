#pragma once

#include "app/core/ViewController.h"
#include "platform/foundation/Weak.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "widgets/ModalDialogViewDelegate.h"
#include "widgets/RadioButton.h"
#include "widgets/RadioButtonDelegate.h"

#include <QPointer>

#include "widgets/ModalDialogBox.h"
#include "widgets/ModalDialogView.h"

// The choice between one or two offered add-on packs (the dialog's listData): a picture, a
// radio button and the fee of each. "立即订购" hands the chosen pack over in the dialog's para
// (index 1), "更多流量包" asks for the pack-ordering screen (index 3).
class AddFlowAlertVc : public ViewController, public RadioButtonDelegate {
    Q_OBJECT
public:
    static const QString kGroupId; // "add flow"
    static constexpr int kConfirmIndex = 1;
    static constexpr int kJumpToOrderIndex = 3;

    explicit AddFlowAlertVc(QObject* parent = nullptr);
    ~AddFlowAlertVc() override;

    void viewDidAppear(bool animated) override;

    void confirmOrderPressed(ui::Button* sender);
    void jumpToOrder();
    void closeDialogPressed();
    void clickProductImage1();
    void clickProductImage2();
    void radioButtonSelectedAtIndex(unsigned int index, const QString& inGroup) override;
    // The picture of the pack at index of listData: "flow_20_b", "flow_50_b", "flow_150_b",
    // "flow_1g_b", or "" for any other size.
    QString getAddFlowImageName(int index) const;
    // The dialog is going: its radio buttons leave the group at once, so a later dialog's
    // choices never reach them.
    void dialogDidClose();

    // Shows the controller's view in a new dialog offering packs; the delegate hears the
    // buttons.
    ModalDialogView* showInDialog(const QVariantList& packs, int tag,
                                  ModalDialogViewDelegate* delegate);

    ModalDialogViewDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(ModalDialogViewDelegate* delegate) { m_delegate.reset(delegate); }
    ModalDialogView* alertView() const { return m_alertView; }
    void setAlertView(ModalDialogView* dialog);
    int radioIndex() const { return m_radioIndex; }
    RadioButton* rb1() const { return m_rb1; }
    RadioButton* rb2() const { return m_rb2; }
    ui::ImageView* productImage(int index) const;
    ui::Label* feeLabel(int index) const;
    ui::Button* confirmButton() const { return m_confirmButton; }
    ui::Button* jumpButton() const { return m_jumpButton; }
    ui::Button* closeButton() const { return m_closeButton; }

protected:
    void loadView() override;

private:
    void addPack(int index, double imageX, double radioX, double feeX, bool checked);

    ns::Weak<ModalDialogViewDelegate> m_delegate;
    QPointer<ModalDialogView> m_alertView;
    int m_radioIndex = 0;
    QPointer<RadioButton> m_rb1;
    QPointer<RadioButton> m_rb2;
    QList<QPointer<ui::View>> m_packViews;
    QPointer<ui::Button> m_confirmButton;
    QPointer<ui::Button> m_jumpButton;
    QPointer<ui::Button> m_closeButton;
};
