#pragma once

#include "platform/foundation/Contacts.h"
#include "platform/foundation/Weak.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

#include <QList>
#include <functional>

namespace ui {

class Button;
class Label;
class PeoplePickerViewController;

class PeoplePickerViewControllerDelegate {
public:
    virtual ~PeoplePickerViewControllerDelegate() = default;
    virtual void peoplePickerDidCancel(PeoplePickerViewController* picker) = 0;
    // A person chosen with one touch (one number or none).
    virtual void peoplePickerDidSelectPerson(PeoplePickerViewController* picker,
                                             const ns::Contact& person) = 0;
    // A number chosen on a person's card (index into person.phones).
    virtual void peoplePickerDidSelectPersonProperty(PeoplePickerViewController* picker,
                                                     const ns::Contact& person, int index) = 0;
};

// The contact picker: a list of the address book's people; a person with two or more
// numbers opens a card listing them. Presented modally; it never dismisses itself.
class PeoplePickerViewController : public ViewController,
                                   public TableViewDataSource,
                                   public TableViewDelegate {
    Q_OBJECT
public:
    explicit PeoplePickerViewController(
        QList<ns::Contact> people = ns::ContactsStore::allContacts(), QObject* parent = nullptr);
    ~PeoplePickerViewController() override;

    PeoplePickerViewControllerDelegate* peoplePickerDelegate() const { return m_delegate.get(); }
    void setPeoplePickerDelegate(PeoplePickerViewControllerDelegate* d) { m_delegate.reset(d); }

    QList<ns::Contact> people() const { return m_people; }
    // The person whose card is open, or -1 on the list.
    int openCard() const { return m_card; }
    TableView* tableView() const { return m_table; }
    Button* cancelButton() const { return m_cancel; }
    Label* titleLabel() const { return m_title; }
    // "Last First", a missing part left out.
    static QString displayName(const ns::Contact& person);

    // Table callbacks.
    int tableViewNumberOfRowsInSection(TableView*, int section) override;
    TableViewCell* tableViewCellForRowAtIndexPath(TableView*, IndexPath path) override;
    void tableViewDidSelectRowAtIndexPath(TableView*, IndexPath path) override;

    void cancel();
    void closeCard();

protected:
    void loadView() override;

private:
    void refresh();

    QList<ns::Contact> m_people;
    int m_card = -1;
    ns::Weak<PeoplePickerViewControllerDelegate> m_delegate;
    TableView* m_table = nullptr;
    Button* m_cancel = nullptr;
    Button* m_back = nullptr;
    Label* m_title = nullptr;
    Label* m_empty = nullptr;
};

// Whether the application may read the address book. The user is asked once, with the
// platform's alert; the answer is kept in the user defaults.
class ContactsAuthorization {
public:
    enum class Status { NotDetermined, Denied, Authorized };
    static constexpr const char* kDefaultsKey = "ContactsAccess";

    static Status status();
    // Answers at once when the user has already decided, else after the alert's button;
    // never blocks. The answer always arrives on a later pass of the event loop.
    static void requestAccess(QObject* context, std::function<void(bool granted)> completion);
    static void reset();
};

} // namespace ui
