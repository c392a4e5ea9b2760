#include "platform/foundation/Contacts.h"
#include "platform/foundation/RegularFile.h"

#include "platform/foundation/Directories.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ns {

namespace {

// Calls line(view) for each line with the folding undone: a line starting with a space or a
// tab continues the one before it (without that first blank). Unfolded lines are views of the
// text; only a folded one is copied, so a large book is read without a copy per line.
template <typename Line> void forEachUnfoldedLine(QStringView text, Line line) {
    const auto nextLine = [&](qsizetype& pos) {
        qsizetype end = text.indexOf(u'\n', pos);
        if (end < 0) end = text.size();
        QStringView piece = text.sliced(pos, end - pos);
        if (piece.endsWith(u'\r')) piece.chop(1);
        pos = end + 1;
        return piece;
    };
    const auto continues = [&](qsizetype pos) {
        return pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t');
    };
    QString folded;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const QStringView first = nextLine(pos);
        if (!continues(pos)) {
            line(first);
            continue;
        }
        folded = first.toString();
        while (continues(pos))
            folded += nextLine(pos).sliced(1);
        line(QStringView(folded));
    }
}

// The value of a structured field split at unescaped ";" (escapes kept).
QList<QStringView> splitStructured(QStringView value) {
    QList<QStringView> parts;
    qsizetype from = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\') {
            ++i;
        } else if (value[i] == u';') {
            parts.append(value.sliced(from, i - from));
            from = i + 1;
        }
    }
    parts.append(value.sliced(qMin(from, value.size())));
    return parts;
}

// The position of the first ":" that is not inside a quoted parameter, or -1.
qsizetype valueStart(QStringView line) {
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'"') quoted = !quoted;
        if (line[i] == u':' && !quoted) return i;
    }
    return -1;
}

bool is(QStringView text, const char* keyword) {
    return text.compare(QLatin1StringView(keyword), Qt::CaseInsensitive) == 0;
}

} // namespace

QString ContactsStore::defaultPath() {
    return QDir(Directories::documents()).filePath(QStringLiteral("contacts.vcf"));
}

QList<Contact> ContactsStore::allContacts(const QString& path) {
    return readContacts(path).value_or(QList<Contact>());
}

std::optional<QList<Contact>> ContactsStore::readContacts(const QString& path) {
    if (!QFileInfo::exists(path)) return QList<Contact>();
    // An address book is at most a few megabytes; a huge file, a folder or a pipe is not one.
    constexpr qint64 kLimit = 16 * 1024 * 1024;
    const std::optional<QByteArray> bytes = readRegularFile(path, kLimit);
    if (!bytes) return std::nullopt;
    return parseVCard(*bytes);
}

QString ContactsStore::unescapeValue(QStringView value) {
    if (!value.contains(u'\\')) return value.toString();
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
    const QString text = QString::fromUtf8(data);
    QList<Contact> contacts;
    bool inCard = false;
    Contact card;
    QString formattedName;
    bool hasStructuredName = false;
    forEachUnfoldedLine(text, [&](QStringView line) {
        const qsizetype colon = valueStart(line);
        if (colon <= 0) return;
        const QStringView value = line.sliced(colon + 1);
        // "item1.TEL;TYPE=CELL" -> "TEL"
        QStringView name = line.first(colon);
        if (const qsizetype semicolon = name.indexOf(u';'); semicolon >= 0)
            name = name.first(semicolon);
        if (const qsizetype dot = name.lastIndexOf(u'.'); dot >= 0) name = name.sliced(dot + 1);
        if (is(name, "BEGIN") && is(value.trimmed(), "VCARD")) {
            inCard = true;
            card = Contact();
            formattedName.clear();
            hasStructuredName = false;
        } else if (!inCard) {
            return;
        } else if (is(name, "END") && is(value.trimmed(), "VCARD")) {
            // A card with only a display name keeps it as its first name.
            if (!hasStructuredName) card.firstName = formattedName;
            contacts.append(std::move(card));
            card = Contact();
            inCard = false;
        } else if (is(name, "N")) {
            const QList<QStringView> parts = splitStructured(value);
            card.lastName = unescapeValue(parts.value(0)).trimmed();
            card.firstName = unescapeValue(parts.value(1)).trimmed();
            hasStructuredName = !card.lastName.isEmpty() || !card.firstName.isEmpty();
        } else if (is(name, "FN")) {
            formattedName = unescapeValue(value).trimmed();
        } else if (is(name, "TEL")) {
            QString number = unescapeValue(value).trimmed();
            // Version 4.0 writes numbers as "tel:" addresses.
            if (number.startsWith(QLatin1StringView("tel:"), Qt::CaseInsensitive))
                number.remove(0, 4);
            if (!number.isEmpty()) card.phones.append(number);
        }
    });
    return contacts;
}

} // namespace ns
