#pragma once

#include "platform/foundation/Weak.h"
#include "platform/ui/ChoicePanel.h"
#include "platform/ui/View.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

namespace ui {

class ActionSheet;
class View;

class ActionSheetDelegate {
public:
    virtual ~ActionSheetDelegate() = default;
    virtual void actionSheetClickedButtonAtIndex(ActionSheet* sheet, int buttonIndex) {
        Q_UNUSED(sheet);
        Q_UNUSED(buttonIndex);
    }
    virtual void actionSheetWillDismissWithButtonIndex(ActionSheet* sheet, int buttonIndex) {
        Q_UNUSED(sheet);
        Q_UNUSED(buttonIndex);
    }
    virtual void actionSheetDidDismissWithButtonIndex(ActionSheet* sheet, int buttonIndex) {
        Q_UNUSED(sheet);
        Q_UNUSED(buttonIndex);
    }
};

// A column of choices rising from the bottom of the window. Buttons are numbered: the
// destructive one first, then the others, then cancel. Never blocks; deletes itself after it
// has been dismissed.
class ActionSheet : public ChoicePanel {
    Q_OBJECT
public:
    using Callback = std::function<void(ActionSheet* sheet, int buttonIndex)>;

    ActionSheet(const QString& title, ActionSheetDelegate* delegate = nullptr,
                const QString& cancelButtonTitle = {}, const QString& destructiveButtonTitle = {},
                const QStringList& otherButtonTitles = {});
    ~ActionSheet() override;

    QString title() const { return m_title; }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    ActionSheetDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(ActionSheetDelegate* delegate) { m_delegate.reset(delegate); }
    void setCallback(Callback callback) { m_callback = std::move(callback); }

    int addButtonWithTitle(const QString& title);
    QString buttonTitleAtIndex(int index) const;
    int numberOfButtons() const { return int(m_buttons.size()); }
    int cancelButtonIndex() const { return m_cancelIndex; }
    int destructiveButtonIndex() const { return m_destructiveIndex; }

    // The view is only a hint of where it belongs; the sheet covers the key window.
    void showInView(View* view);
    // show(), pressButtonAtIndex() and dismissWithClickedButtonIndex() are ChoicePanel's.

    View* sheetView() const { return m_sheet; }

protected:
    bool canPress(int index) const override { return index >= 0 && index < m_buttons.size(); }
    void buildViews() override;
    void list(bool onScreen) override;
    void animateIn() override;
    Exit exitAnimation() override;
    void reportClicked(int index) override;
    void reportWillDismiss(int index) override;
    void reportDidDismiss(int index) override;
    void forgetViews() override { m_sheet = nullptr; }

private:
    QString m_title;
    int m_tag = 0;
    ns::Weak<ActionSheetDelegate> m_delegate;
    Callback m_callback;
    QStringList m_buttons;
    int m_cancelIndex = -1;
    int m_destructiveIndex = -1;
    QPointer<View> m_sheet;
};

} // namespace ui
