#pragma once

#include "app/core/ViewController.h"

#include <QPointer>
#include <QString>

class HTTPRequest;

namespace ui {
class ImageView;
class Label;
} // namespace ui

// The splash screen and start-up router. Each time it is about to appear it sends the user on:
// the guide until it has been left once, the log-in screen without a network, the gateway
// log-in on the cellular network, the automatic log-in (when allowed) on Wi-Fi.
class DefaultVC : public ViewController {
    Q_OBJECT
public:
    explicit DefaultVC(QObject* parent = nullptr);
    ~DefaultVC() override;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    void doRedirect();
    void doCommonLogin();
    void doLoginAuto();
    void requestOfLoginSend();
    void doLoginQtwap();
    void jumpToMain();
    void jumpToLogin();
    // The Wi-Fi hardware address as six lower-case pairs, or the platform's error text.
    static QString getMacAddress();

    ui::Label* hintLabel() const { return m_hintLabel; }
    bool isJumpToLogin() const { return m_isJumpToLogin; }
    // The key string of the running gateway log-in.
    QString secretKey() const { return m_secretKey; }
    // The log-in request in flight, if any.
    HTTPRequest* runningRequest() const;

private:
    ui::ImageView* m_splash = nullptr;
    ui::Label* m_hintLabel = nullptr;
    bool m_isJumpToLogin = false;
    QString m_secretKey;
    QPointer<HTTPRequest> m_request;
};
