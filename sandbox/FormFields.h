#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace sandbox {

// The fields of one application/x-www-form-urlencoded body, decoded, in the order sent.
// A key sent twice stays twice.
class FormFields {
public:
    using Item = QPair<QString, QString>;

    FormFields() = default;
    FormFields(std::initializer_list<Item> items) : m_items(items) {}

    // "+" is a space, "%XX" a byte, the bytes are UTF-8. An item without "=" is a key with an
    // empty value; empty items ("a=1&&b=2") are skipped.
    static FormFields parse(const QByteArray& body);

    const QList<Item>& items() const { return m_items; }
    bool isEmpty() const { return m_items.isEmpty(); }
    bool contains(const QString& key) const;
    // The first value of the key, or "" when it was not sent.
    QString value(const QString& key) const;
    QStringList values(const QString& key) const;
    void append(const QString& key, const QString& value) { m_items.append({key, value}); }

    bool operator==(const FormFields& other) const = default;

private:
    QList<Item> m_items;
};

} // namespace sandbox
