#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/ViewController.h"

#include <QPointer>

// The guide (scene "GuideViewController" of "Main"): three full-screen pictures side by side,
// shown until its button has been pressed once.
class GuideViewController : public ui::ViewController {
    Q_OBJECT
public:
    explicit GuideViewController(QObject* parent = nullptr);
    ~GuideViewController() override;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    void buttonPressed();
    void jumpToLogin();
    void jumpToMain();
    // A password-less gateway log-in that leads to the log-in screen on any refusal.
    void doLoginQtwap();

    ui::ScrollView* myScrollView() const { return m_scrollView; }
    ui::ImageView* guide(int index) const; // 1 to 4
    ui::Button* button() const { return m_button; }
    bool isJumpToLogin() const { return m_isJumpToLogin; }

protected:
    void loadView() override;

private:
    QPointer<ui::ScrollView> m_scrollView;
    QPointer<ui::ImageView> m_guides[4];
    QPointer<ui::Button> m_button;
    bool m_isJumpToLogin = false;
};
