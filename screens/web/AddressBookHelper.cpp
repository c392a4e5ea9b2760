#include "screens/web/AddressBookHelper.h"

#include "platform/ui/Application.h"
#include "platform/ui/ViewController.h"

AddressBookHelper::AddressBookHelper(QObject* parent) : QObject(parent) {}

AddressBookHelper::~AddressBookHelper() = default;

void AddressBookHelper::showInController(ui::ViewController* controller, Completion completion) {
    m_completionBlock = std::move(completion);
    m_targetViewController = controller;
    m_pickerView = new ui::PeoplePickerViewController;
    m_pickerView->setPeoplePickerDelegate(this);
    if (!controller) return;
    controller->presentViewController(m_pickerView, true, [] {
        ui::Application::sharedApplication().setStatusBarStyle(
            ui::Application::StatusBarStyle::Default, true);
    });
}

QString AddressBookHelper::getPhoneNumberWithPhones(const QStringList& phones, int index) {
    if (index < 0 || index >= phones.size()) return {};
    QString number = phones[index];
    number.remove(QStringLiteral("+86"));
    number.remove(' ');
    number.remove('-');
    number.remove(')');
    qsizetype start = 0;
    qsizetype end = number.size();
    const auto isDigit = [](QChar c) { return c >= '0' && c <= '9'; };
    while (start < end && !isDigit(number[start]))
        ++start;
    while (end > start && !isDigit(number[end - 1]))
        --end;
    return number.mid(start, end - start);
}

QString AddressBookHelper::getNameWithPerson(const ns::Contact& person) {
    return person.lastName + person.firstName;
}

void AddressBookHelper::peoplePickerDidCancel(ui::PeoplePickerViewController* picker) {
    ui::Application::sharedApplication().setStatusBarStyle(
        ui::Application::StatusBarStyle::LightContent, true);
    picker->dismissViewControllerAnimated(true);
}

void AddressBookHelper::peoplePickerDidSelectPerson(ui::PeoplePickerViewController* picker,
                                                    const ns::Contact& person) {
    picker->dismissViewControllerAnimated(true);
    finish(person, 0);
}

void AddressBookHelper::peoplePickerDidSelectPersonProperty(ui::PeoplePickerViewController* picker,
                                                            const ns::Contact& person, int index) {
    picker->dismissViewControllerAnimated(true);
    finish(person, index);
}

void AddressBookHelper::finish(const ns::Contact& person, int index) {
    ui::Application::sharedApplication().setStatusBarStyle(
        ui::Application::StatusBarStyle::LightContent, true);
    // A person without a number gives an empty number rather than nothing.
    if (m_completionBlock)
        m_completionBlock(getNameWithPerson(person),
                          getPhoneNumberWithPhones(person.phones, index));
}
