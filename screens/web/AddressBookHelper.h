#pragma once

#include "platform/foundation/Contacts.h"
#include "platform/ui/PeoplePickerViewController.h"

#include <QObject>
#include <QPointer>
#include <functional>

namespace ui {
class ViewController;
}

// Lets the user pick one phone number from the address book and hands the cleaned number
// and the person's name to the caller. One picking at a time; a new one replaces the last.
class AddressBookHelper : public QObject, public ui::PeoplePickerViewControllerDelegate {
    Q_OBJECT
public:
    using Completion = std::function<void(const QString& name, const QString& phone)>;

    explicit AddressBookHelper(QObject* parent = nullptr);
    ~AddressBookHelper() override;

    // Presents the picker from the screen. The completion is not called on cancel.
    void showInController(ui::ViewController* controller, Completion completion);
    ui::PeoplePickerViewController* pickerView() const { return m_pickerView; }

    // The number at index with "+86", blanks, "-" and ")" removed, then anything but digits
    // trimmed from both ends. Empty when there is no such number.
    static QString getPhoneNumberWithPhones(const QStringList& phones, int index);
    // Last name followed by first name; a missing part counts as empty.
    static QString getNameWithPerson(const ns::Contact& person);

    void peoplePickerDidCancel(ui::PeoplePickerViewController* picker) override;
    void peoplePickerDidSelectPerson(ui::PeoplePickerViewController* picker,
                                     const ns::Contact& person) override;
    void peoplePickerDidSelectPersonProperty(ui::PeoplePickerViewController* picker,
                                             const ns::Contact& person, int index) override;

private:
    void finish(const ns::Contact& person, int index);

    Completion m_completionBlock;
    QPointer<ui::ViewController> m_targetViewController;
    QPointer<ui::PeoplePickerViewController> m_pickerView;
};
