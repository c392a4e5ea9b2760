#pragma once

#include "app/core/ViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/TextField.h"

#include <QPointer>

// Changing the six-character service password ("ChangePassword"): the number and both
// passwords travel encrypted under one per-request key.
class PasswordModificationViewController : public ViewController, public ui::TextFieldDelegate {
    Q_OBJECT
public:
    static constexpr int kPasswordLength = 6;

    explicit PasswordModificationViewController(QObject* parent = nullptr);
    ~PasswordModificationViewController() override;

    void buttonPressed();
    void requestOfPasswordModificationSend();

    bool textFieldShouldBeginEditing(ui::TextField* field) override;
    bool textField(ui::TextField* field, ui::TextRange range, const QString& replacement) override;

    // Outlets.
    ui::TextField* oldPassword() const { return m_oldPassword; }
    ui::TextField* freshPassword() const { return m_freshPassword; }
    ui::TextField* confirmFreshPassword() const { return m_confirmFreshPassword; }
    ui::Button* confirmButton() const { return m_confirmButton; }

protected:
    void loadView() override;

private:
    QPointer<ui::TextField> m_oldPassword;
    QPointer<ui::TextField> m_freshPassword;
    QPointer<ui::TextField> m_confirmFreshPassword;
    QPointer<ui::Button> m_confirmButton;
};
