#pragma once

#include "platform/foundation/Weak.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ViewController.h"
#include "widgets/ModalDialogViewDelegate.h"

#include <QPointer>
#include <QString>
#include <QVariantMap>

#include "widgets/ModalDialogBox.h"
#include "widgets/ModalDialogView.h"

// The confirmation of one data product before it is ordered: its name, level (fee and size)
// and description, with "取消" (index 0) and "确认订购" (index 1) reported to the delegate.
class OrderAlertVC : public ui::ViewController {
    Q_OBJECT
public:
    static constexpr int kCancelIndex = 0;
    static constexpr int kOrderIndex = 1;

    explicit OrderAlertVC(QObject* parent = nullptr);
    ~OrderAlertVC() override;

    // Before the view loads.
    void initProduct(const QString& name, const QString& level, const QString& desc);
    void viewDidLoad() override;
    void orderAlertBtnPressed(ui::Button* sender);

    // Shows the controller's view in a new dialog carrying para and tag; the delegate hears
    // the buttons. The dialog deletes itself once closed.
    ModalDialogView* showInDialog(const QVariantMap& para, int tag,
                                  ModalDialogViewDelegate* delegate);

    QString name() const { return m_name; }
    QString level() const { return m_level; }
    QString desc() const { return m_desc; }
    ui::Label* nameLBL() const { return m_nameLBL; }
    ui::Label* levelLBL() const { return m_levelLBL; }
    ui::Label* descLBL() const { return m_descLBL; }
    ui::Button* cancelBtn() const { return m_cancelBtn; }
    ui::Button* orderBtn() const { return m_orderBtn; }
    ModalDialogViewDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(ModalDialogViewDelegate* delegate) { m_delegate.reset(delegate); }
    ModalDialogView* alertView() const { return m_alertView; }
    void setAlertView(ModalDialogView* dialog);

protected:
    void loadView() override;

private:
    QString m_name;
    QString m_level;
    QString m_desc;
    QPointer<ui::Label> m_nameLBL;
    QPointer<ui::Label> m_levelLBL;
    QPointer<ui::Label> m_descLBL;
    QPointer<ui::Button> m_cancelBtn;
    QPointer<ui::Button> m_orderBtn;
    ns::Weak<ModalDialogViewDelegate> m_delegate;
    QPointer<ModalDialogView> m_alertView;
};
