#pragma once

#include "platform/foundation/Weak.h"
#include "platform/ui/ChoicePanel.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/View.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

namespace ui {

class AlertView;
class TextField;
class View;

class AlertViewDelegate {
public:
    virtual ~AlertViewDelegate() = default;
    virtual void alertViewClickedButtonAtIndex(AlertView* alertView, int buttonIndex) {
        Q_UNUSED(alertView);
        Q_UNUSED(buttonIndex);
    }
    virtual void alertViewWillDismissWithButtonIndex(AlertView* alertView, int buttonIndex) {
        Q_UNUSED(alertView);
        Q_UNUSED(buttonIndex);
    }
    virtual void alertViewDidDismissWithButtonIndex(AlertView* alertView, int buttonIndex) {
        Q_UNUSED(alertView);
        Q_UNUSED(buttonIndex);
    }
    // Asked again whenever the alert's text field changes.
    virtual bool alertViewShouldEnableFirstOtherButton(AlertView* alertView) {
        Q_UNUSED(alertView);
        return true;
    }
};

// A titled message with buttons over a dimmed window. show() never blocks: the alert lays
// itself over the key window (or only registers with AlertCenter when no window is up) and
// reports the pressed button to its delegate and callback. Buttons are numbered in order of
// addition: the cancel button is 0 when given at construction, other buttons follow.
// An alert deletes itself after it has been dismissed.
class AlertView : public ChoicePanel {
    Q_OBJECT
public:
    enum class Style { Default, PlainTextInput, SecureTextInput };
    using Callback = std::function<void(AlertView* alertView, int buttonIndex)>;

    AlertView(const QString& title, const QString& message, AlertViewDelegate* delegate = nullptr,
              const QString& cancelButtonTitle = {}, const QStringList& otherButtonTitles = {});
    ~AlertView() override;

    QString title() const { return m_title; }
    void setTitle(const QString& title);
    QString message() const { return m_message; }
    void setMessage(const QString& message);
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    // Held weakly: a delegate that is a QObject and is destroyed is never called.
    AlertViewDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(AlertViewDelegate* delegate) { m_delegate.reset(delegate); }
    // Called with the pressed button, after the delegate's clickedButtonAtIndex.
    void setCallback(Callback callback) { m_callback = std::move(callback); }

    int addButtonWithTitle(const QString& title);
    QString buttonTitleAtIndex(int index) const;
    int numberOfButtons() const { return int(m_buttons.size()); }
    int cancelButtonIndex() const { return m_cancelIndex; }
    void setCancelButtonIndex(int index);
    // -1 when there is none.
    int firstOtherButtonIndex() const;
    // Whether the button can be pressed now (the first other button asks the delegate).
    bool isButtonEnabled(int index) const;

    Style alertViewStyle() const { return m_style; }
    void setAlertViewStyle(Style style);
    // The input field of a text-input style; nullptr otherwise.
    TextField* textFieldAtIndex(int index);

    // show(), pressButtonAtIndex() (clickedButtonAtIndex, the callback, then dismissal; a
    // disabled button is not pressed) and dismissWithClickedButtonIndex() are ChoicePanel's.

    // The drawn alert box, when shown in a window.
    View* boxView() const { return m_box; }
    // The part of the box that holds the title and the message: it scrolls when they are
    // taller than the window leaves, so the box stays within the window.
    ScrollView* textView() const { return m_text; }
    // A title or message as the box shows it: past a few thousand characters cut (on a
    // character boundary) and ended with "…".
    static QString shownText(const QString& text);
    // Re-asks whether the first other button is enabled (the text field calls it).
    void updateButtons();

protected:
    bool canPress(int index) const override { return isButtonEnabled(index); }
    void buildViews() override;
    void list(bool onScreen) override;
    void animateIn() override;
    Exit exitAnimation() override;
    void reportClicked(int index) override;
    void reportWillDismiss(int index) override;
    void reportDidDismiss(int index) override;
    void willTearDown() override;
    void forgetViews() override;

private:
    QString m_title;
    QString m_message;
    int m_tag = 0;
    ns::Weak<AlertViewDelegate> m_delegate;
    Callback m_callback;
    QStringList m_buttons;
    int m_cancelIndex = -1;
    Style m_style = Style::Default;
    QPointer<TextField> m_field;
    QPointer<View> m_box;
    QPointer<ScrollView> m_text;
};

} // namespace ui
