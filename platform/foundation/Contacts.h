#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace ns {

// One person of the address book.
struct Contact {
    QString firstName;
    QString lastName;
    // The phone numbers as written, in the order given.
    QStringList phones;
};

// The desktop's address book: a vCard file (versions 3.0 and 4.0) at
// <sandbox>/Documents/contacts.vcf. A missing, unreadable or malformed file holds nobody.
class ContactsStore {
public:
    static QString defaultPath();
    // Everybody in the file, in file order.
    static QList<Contact> allContacts(const QString& path = defaultPath());
    // The same, telling a book that cannot be read (too large, unreadable) from an empty one:
    // nothing then. No file is an empty book.
    static std::optional<QList<Contact>> readContacts(const QString& path = defaultPath());
    // The cards of vCard text; a card without BEGIN/END or a line that makes no sense is
    // skipped, never fatal.
    static QList<Contact> parseVCard(const QByteArray& data);
    // A value with the vCard escapes (\n \, \; \\) undone.
    static QString unescapeValue(QStringView value);
};

} // namespace ns
