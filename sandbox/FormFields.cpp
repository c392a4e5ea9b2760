#include "sandbox/FormFields.h"

#include <QStringDecoder>

namespace sandbox {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "+" is a space and "%XX" a byte; a "%" not followed by two hex digits stays as it is
// (Qt's own decoder would turn "%zz" into a stray byte).
QString decodeComponent(const QByteArray& part) {
    QByteArray bytes;
    bytes.reserve(part.size());
    for (qsizetype i = 0; i < part.size(); ++i) {
        const char c = part[i];
        if (c == '+') {
            bytes.append(' ');
            continue;
        }
        const int high = c == '%' && i + 2 < part.size() ? hexValue(part[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(part[i + 2]) : -1;
        if (low >= 0) {
            bytes.append(char(high * 16 + low));
            i += 2;
        } else {
            bytes.append(c);
        }
    }
    // QString::fromUtf8 drops a leading byte-order mark, which would let "\xEF\xBB\xBF138..."
    // pass as the number itself; keep it as the character it is.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
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
