#pragma once

#include "platform/ui/View.h"

#include <QPointer>
#include <QString>

namespace ui {
class Button;
}

class RadioButtonDelegate;

// A 44 x 44 checkable image button. Buttons that share a group id form a group: tapping one
// unchecks the others and tells the group's observer its index. Groups and observers live in
// class-wide registries, so the buttons of a group need not know each other; a destroyed
// button leaves its group, and a destroyed observer is no longer told.
class RadioButton : public ui::View {
    Q_OBJECT
public:
    RadioButton(const QString& groupId, unsigned int index, View* parent = nullptr);
    ~RadioButton() override;

    QString groupId() const { return m_groupId; }
    void setGroupId(const QString& groupId) { m_groupId = groupId; }
    unsigned int index() const { return m_index; }
    void setIndex(unsigned int index) { m_index = index; }

    // Checks or unchecks this button only; nobody is told.
    void setChecked(bool checked);
    bool isChecked() const;
    ui::Button* button() const { return m_button; }

    // What a tap on the inner button does.
    void handleButtonTap();
    // Another button of the group was chosen.
    void otherButtonSelected(RadioButton* selected);

    // Ignored for an empty id or a null observer; a later observer replaces an earlier one.
    static void addObserverForGroupId(const QString& groupId, RadioButtonDelegate* observer);
    static void registerInstance(RadioButton* button, const QString& withGroupID);
    // Tells the observer, then clears the other members of the group.
    static void buttonSelected(RadioButton* button);
    // The live members of a group, in registration order.
    static QList<RadioButton*> instancesOfGroup(const QString& groupId);

private:
    void defaultInit();
    QString m_groupId;
    unsigned int m_index = 0;
    QPointer<ui::Button> m_button;
};
