#include "platform/foundation/Contacts.h"

#include "platform/foundation/Directories.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace ns {

namespace {

// Lines with the folding undone: a line starting with a space or a tab continues the one
// before it (without that first blank).
QStringList unfoldedLines(const QString& text) {
    QStringList lines;
    for (QString line : text.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if ((line.startsWith(' ') || line.startsWith('\t')) && !lines.isEmpty())
            lines.last() += line.mid(1);
        else
            lines.append(line);
    }
    return lines;
}

// The value of a structured field split at unescaped ";".
QStringList splitStructured(const QString& value) {
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            current += c;
            current += value[++i];
        } else if (c == ';') {
            parts.append(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts.append(current);
    return parts;
}

// The value after the first ":" that is not inside a quoted parameter.
qsizetype valueStart(const QString& line) {
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == ':' && !quoted) return i;
    }
    return -1;
}

} // namespace

QString ContactsStore::defaultPath() {
    return QDir(Directories::documents()).filePath(QStringLiteral("contacts.vcf"));
}

QList<Contact> ContactsStore::allContacts(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    // An address book is small; a huge file is not one.
    constexpr qint64 kLimit = 16 * 1024 * 1024;
    if (file.size() > kLimit) return {};
    return parseVCard(file.readAll());
}

QString ContactsStore::unescapeValue(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const QChar next = value[++i];
            out += (next == 'n' || next == 'N') ? QChar('\n') : next;
        } else {
            out += value[i];
        }
    }
    return out;
}

QList<Contact> ContactsStore::parseVCard(const QByteArray& data) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(data);
    QList<Contact> contacts;
    bool inCard = false;
    Contact card;
    QString formattedName;
    bool hasStructuredName = false;
    for (const QString& line : unfoldedLines(text)) {
        const qsizetype colon = valueStart(line);
        if (colon <= 0) continue;
        const QString head = line.left(colon);
        const QString value = line.mid(colon + 1);
        // "item1.TEL;TYPE=CELL" -> "TEL"
        QString name = head.section(';', 0, 0).toUpper();
        if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0) name = name.mid(dot + 1);
        if (name == "BEGIN" && value.trimmed().compare("VCARD", Qt::CaseInsensitive) == 0) {
            inCard = true;
            card = Contact();
            formattedName.clear();
            hasStructuredName = false;
        } else if (!inCard) {
            continue;
        } else if (name == "END" && value.trimmed().compare("VCARD", Qt::CaseInsensitive) == 0) {
            // A card with only a display name keeps it as its first name.
            if (!hasStructuredName) card.firstName = formattedName;
            contacts.append(card);
            inCard = false;
        } else if (name == "N") {
            const QStringList parts = splitStructured(value);
            card.lastName = unescapeValue(parts.value(0)).trimmed();
            card.firstName = unescapeValue(parts.value(1)).trimmed();
            hasStructuredName = !card.lastName.isEmpty() || !card.firstName.isEmpty();
        } else if (name == "FN") {
            formattedName = unescapeValue(value).trimmed();
        } else if (name == "TEL") {
            QString number = unescapeValue(value).trimmed();
            // Version 4.0 writes numbers as "tel:" addresses.
            if (number.startsWith("tel:", Qt::CaseInsensitive)) number = number.mid(4);
            if (!number.isEmpty()) card.phones.append(number);
        }
    }
    return contacts;
}

} // namespace ns
