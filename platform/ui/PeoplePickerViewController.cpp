#include "platform/ui/PeoplePickerViewController.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"

#include <QPointer>

namespace ui {

namespace {

constexpr double kBarHeight = 64;
const QColor kBarColor(247, 247, 247);
const QColor kTint(0, 122, 255);

} // namespace

PeoplePickerViewController::PeoplePickerViewController(QList<ns::Contact> people, QObject* parent)
    : ViewController(parent), m_people(std::move(people)) {}

PeoplePickerViewController::~PeoplePickerViewController() = default;

QString PeoplePickerViewController::displayName(const ns::Contact& person) {
    if (person.lastName.isEmpty()) return person.firstName;
    if (person.firstName.isEmpty()) return person.lastName;
    return person.lastName + ' ' + person.firstName;
}

void PeoplePickerViewController::loadView() {
    auto* root = new View(QRectF(0, 0, 320, 568));
    root->setBackgroundColor(Qt::white);
    auto* bar = new View(QRectF(0, 0, 320, kBarHeight), root);
    bar->setBackgroundColor(kBarColor);
    m_title = new Label(QRectF(70, 20, 180, 44), bar);
    m_title->setTextAlignment(TextAlignment::Center);
    m_title->setFont(Font::boldSystemFontOfSize(17));
    m_back = new Button(QRectF(0, 20, 70, 44), bar);
    m_back->setTitle(QStringLiteral("通讯录"));
    m_back->setTitleColor(kTint);
    m_back->addAction(Control::TouchUpInside, [this] { closeCard(); });
    m_cancel = new Button(QRectF(250, 20, 70, 44), bar);
    m_cancel->setTitle(QStringLiteral("取消"));
    m_cancel->setTitleColor(kTint);
    m_cancel->addAction(Control::TouchUpInside, [this] { cancel(); });
    m_table =
        new TableView(QRectF(0, kBarHeight, 320, 568 - kBarHeight), TableView::Style::Plain, root);
    m_table->setRowHeight(50);
    m_table->setDataSource(this);
    m_table->setDelegate(this);
    m_empty = new Label(QRectF(0, 200, 320, 30), root);
    m_empty->setTextAlignment(TextAlignment::Center);
    m_empty->setTextColor(Qt::gray);
    m_empty->setText(QStringLiteral("无联系人"));
    setView(root);
    refresh();
}

void PeoplePickerViewController::refresh() {
    const bool onCard = m_card >= 0;
    m_title->setText(onCard ? displayName(m_people[m_card]) : QStringLiteral("通讯录"));
    m_back->setHidden(!onCard);
    m_empty->setHidden(onCard || !m_people.isEmpty());
    m_table->reloadData();
}

int PeoplePickerViewController::tableViewNumberOfRowsInSection(TableView*, int) {
    return int(m_card >= 0 ? m_people[m_card].phones.size() : m_people.size());
}

TableViewCell* PeoplePickerViewController::tableViewCellForRowAtIndexPath(TableView* table,
                                                                          IndexPath path) {
    const QString id = QStringLiteral("person");
    TableViewCell* cell = table->dequeueReusableCellWithIdentifier(id);
    if (!cell) cell = new TableViewCell(TableViewCell::Style::Subtitle, id);
    if (m_card >= 0) {
        cell->textLabel()->setText(m_people[m_card].phones.value(path.row));
        cell->detailTextLabel()->setText(QStringLiteral("电话"));
        cell->setAccessoryType(TableViewCell::AccessoryType::None);
    } else {
        const ns::Contact& person = m_people[path.row];
        cell->textLabel()->setText(displayName(person));
        cell->detailTextLabel()->setText(person.phones.size() > 1
                                             ? QStringLiteral("%1个号码").arg(person.phones.size())
                                             : person.phones.value(0));
        cell->setAccessoryType(person.phones.size() > 1
                                   ? TableViewCell::AccessoryType::DisclosureIndicator
                                   : TableViewCell::AccessoryType::None);
    }
    return cell;
}

void PeoplePickerViewController::tableViewDidSelectRowAtIndexPath(TableView* table,
                                                                  IndexPath path) {
    table->deselectRowAtIndexPath(path);
    PeoplePickerViewControllerDelegate* d = m_delegate.get();
    if (m_card >= 0) {
        if (path.row < 0 || path.row >= m_people[m_card].phones.size()) return;
        if (d) d->peoplePickerDidSelectPersonProperty(this, m_people[m_card], path.row);
        return;
    }
    if (path.row < 0 || path.row >= m_people.size()) return;
    if (m_people[path.row].phones.size() > 1) {
        m_card = path.row;
        refresh();
        return;
    }
    if (d) d->peoplePickerDidSelectPerson(this, m_people[path.row]);
}

void PeoplePickerViewController::cancel() {
    if (PeoplePickerViewControllerDelegate* d = m_delegate.get()) d->peoplePickerDidCancel(this);
}

void PeoplePickerViewController::closeCard() {
    if (m_card < 0) return;
    m_card = -1;
    refresh();
}

// --- ContactsAuthorization ---

ContactsAuthorization::Status ContactsAuthorization::status() {
    const QString answer = ns::UserDefaults::standardUserDefaults().stringForKey(kDefaultsKey);
    if (answer == "granted") return Status::Authorized;
    if (answer == "denied") return Status::Denied;
    return Status::NotDetermined;
}

void ContactsAuthorization::requestAccess(QObject* context,
                                          std::function<void(bool granted)> completion) {
    const Status now = status();
    if (now != Status::NotDetermined) {
        ns::performAfter(0, context, [completion, now] {
            if (completion) completion(now == Status::Authorized);
        });
        return;
    }
    auto* alert =
        new AlertView(QStringLiteral("“通讯录”访问请求"), QStringLiteral("本应用想访问您的通讯录"),
                      nullptr, QStringLiteral("不允许"), {QStringLiteral("好")});
    QPointer<QObject> guard(context);
    alert->setCallback([guard, completion](AlertView*, int index) {
        const bool granted = index == 1;
        ns::UserDefaults& defaults = ns::UserDefaults::standardUserDefaults();
        defaults.setObject(granted ? QStringLiteral("granted") : QStringLiteral("denied"),
                           kDefaultsKey);
        defaults.synchronize();
        if (!guard) return;
        ns::performAfter(0, guard, [completion, granted] {
            if (completion) completion(granted);
        });
    });
    alert->show();
}

void ContactsAuthorization::reset() {
    ns::UserDefaults& defaults = ns::UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey(kDefaultsKey);
    defaults.synchronize();
}

} // namespace ui
