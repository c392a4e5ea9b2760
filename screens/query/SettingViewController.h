#pragma once

#include <QPointer>
#include <QString>
#include <optional>

#include "app/core/HTTPRequest.h"
#include "app/core/ViewController.h"
#include "platform/foundation/Clock.h"
#include "widgets/TextLayer.h"

namespace ui {
class Button;
class Label;
class Switch;
class View;
} // namespace ui

// The switch for an SMS notice at each log-in ("LoginSMS": action "0" reads it, "1" changes
// it), with the entries to the password change, the about page and the questions page. The
// last value is kept per phone number; after a change the switch locks for 10 seconds while a
// number on its knob counts down.
class SettingViewController : public ViewController {
    Q_OBJECT
public:
    static constexpr qint64 kLockMs = 10000;
    static constexpr qint64 kReminderMs = 2000;
    static constexpr int kPasswordTag = 1001;
    static constexpr int kAboutTag = 1002;
    static constexpr int kFAQTag = 1003;

    // The settings key of the phone number's notice: "LoginSMS" followed by the number.
    static QString keyForNumber(const QString& phone);

    explicit SettingViewController(QObject* parent = nullptr);
    ~SettingViewController() override;

    HTTPRequest* requestOfLoginSMS() const { return m_requestOfLoginSMS; }
    ui::View* viewOfSwitch() const { return m_viewOfSwitch; }
    ui::View* viewAboveSwitch() const { return m_viewAboveSwitch; }
    ui::Label* labelOfReminder() const { return m_labelOfReminder; }
    ui::Switch* switchOfLoginSMS() const { return m_switchOfLoginSMS; }
    QString notify() const { return m_notify; }
    QString key() const { return m_key; }
    TextLayer* textLayer() const { return m_textLayer; }
    ui::Button* buttonWithTag(int tag) const;

    void viewDidLoad() override;

    void requestOfLoginSMSSend();
    // Sends the switch's present state as the user's choice.
    void requestOfSetLonginSMSSend();
    void switchButtonPressed();
    void tapSwitchButton();
    void configurationTextLayer();

protected:
    void loadView() override;

private:
    // What a change may have to undo: the state before the first change not yet confirmed.
    struct Before {
        bool on = true;
        QString notify;
        QVariant stored;
    };
    void changeConfirmed();
    void changeFailed();

    QPointer<HTTPRequest> m_requestOfLoginSMS;
    QPointer<HTTPRequest> m_queryRequest;
    QPointer<HTTPRequest> m_changeRequest;
    ui::View* m_viewOfSwitch = nullptr;
    ui::View* m_viewAboveSwitch = nullptr;
    ui::Label* m_labelOfReminder = nullptr;
    ui::Switch* m_switchOfLoginSMS = nullptr;
    QString m_notify;
    QString m_key;
    QPointer<TextLayer> m_textLayer;
    std::optional<Before> m_before;
    // Owned by the screen: they never fire once it is gone.
    ns::DelayedCall m_unlock;
    ns::DelayedCall m_reminderHide;
};
