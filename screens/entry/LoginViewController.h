#pragma once

#include "app/core/ViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/MessageComposeViewController.h"
#include "platform/ui/TextField.h"

#include <QPointer>

class HTTPRequest;

// The log-in screen (scene "LoginViewController" of "Main"): phone number, service password,
// the save-password and automatic-log-in boxes and the forgot-password SMS.
class LoginViewController : public ViewController,
                            public ui::TextFieldDelegate,
                            public ui::MessageComposeViewControllerDelegate {
    Q_OBJECT
public:
    static constexpr int kUserNameTag = 101;
    static constexpr int kPassWordTag = 102;

    explicit LoginViewController(QObject* parent = nullptr);
    ~LoginViewController() override;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    void autoLoginPressed();
    void savePwdPressed();
    void loginPressed();
    void forgetPwdPressed();
    // Prepares an SMS of body to the operator's service number, when texts can be sent.
    void sendSMS(const QString& body, ViewController* inViewController);
    void requestOfLoginSend();

    bool textFieldShouldBeginEditing(ui::TextField* field) override;
    bool textField(ui::TextField* field, ui::TextRange range, const QString& replacement) override;
    void messageComposeViewController(ui::MessageComposeViewController* controller,
                                      ui::MessageComposeResult didFinishWithResult) override;

    // Outlets.
    ui::TextField* userName() const { return m_userName; }
    ui::TextField* passWord() const { return m_passWord; }
    ui::Button* saveAccountBox() const { return m_saveAccountBox; }
    ui::Button* autoLoginBox() const { return m_autoLoginBox; }
    ui::Button* buttonOfForgot() const { return m_buttonOfForgot; }
    ui::Button* loginButton() const { return m_loginButton; }
    bool isAutoLogin() const { return m_isAutoLogin; }
    bool isSavePwd() const { return m_isSavePwd; }
    // The log-in request in flight, if any.
    HTTPRequest* runningRequest() const;

protected:
    void loadView() override;

private:
    void setAutoLogin(bool on);
    void setSavePwd(bool on);
    void showInputAlert(const QString& message);
    void handleReply(const QVariant& reply);
    void openMainContainer();

    QPointer<ui::TextField> m_userName;
    QPointer<ui::TextField> m_passWord;
    QPointer<ui::Button> m_saveAccountBox;
    QPointer<ui::Button> m_autoLoginBox;
    QPointer<ui::Button> m_buttonOfForgot;
    QPointer<ui::Button> m_loginButton;
    bool m_isAutoLogin = false;
    bool m_isSavePwd = false;
    QPointer<HTTPRequest> m_request;
    // The screen that presented the SMS composer and dismisses it.
    QPointer<ui::ViewController> m_smsPresenter;
};
