#include "sandbox/FormFields.h"

namespace sandbox {

namespace {

QString decodeComponent(QByteArray part) {
    // "+" must become a space before the percent escapes are undone, so that "%2B" stays "+".
    part.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(part));
}

} // namespace

FormFields FormFields::parse(const QByteArray& body) {
    FormFields fields;
    for (const QByteArray& item : body.split('&')) {
        if (item.isEmpty()) continue;
        const qsizetype eq = item.indexOf('=');
        if (eq < 0)
            fields.append(decodeComponent(item), QString());
        else
            fields.append(decodeComponent(item.left(eq)), decodeComponent(item.mid(eq + 1)));
    }
    return fields;
}

bool FormFields::contains(const QString& key) const {
    for (const Item& item : m_items)
        if (item.first == key) return true;
    return false;
}

QString FormFields::value(const QString& key) const {
    for (const Item& item : m_items)
        if (item.first == key) return item.second;
    return QString();
}

QStringList FormFields::values(const QString& key) const {
    QStringList found;
    for (const Item& item : m_items)
        if (item.first == key) found.append(item.second);
    return found;
}

} // namespace sandbox
