#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace ns {

// The application's key-value store: an XML property-list dictionary at
// <sandbox>/Library/Preferences/tavrix.plist, rewritten atomically and owner-only on each
// synchronize (the password is kept there). A file it cannot read, or refuses (see
// PropertyList), is moved aside to refusedPath() and the store starts empty.
class UserDefaults {
public:
    static UserDefaults& standardUserDefaults();
    // Drops the in-memory copy so the next access reads the (possibly new) sandbox's file.
    static void resetStandardUserDefaults();

    explicit UserDefaults(QString path);

    QVariant objectForKey(const QString& key) const;
    // An invalid QVariant removes the entry, as saving nil does.
    void setObject(const QVariant& value, const QString& key);
    void removeObjectForKey(const QString& key);
    // A string or null (absent or not a string).
    QString stringForKey(const QString& key) const;
    bool hasObjectForKey(const QString& key) const { return m_values.contains(key); }
    // Booleans, numbers and "YES"/"NO" texts alike (ns::Values::boolValue): a switch may be
    // stored as any of them.
    bool boolForKey(const QString& key) const;
    qint64 integerForKey(const QString& key) const;
    void setBool(bool value, const QString& key);
    void setInteger(qint64 value, const QString& key);
    // Writes the file; false when it could not be written.
    bool synchronize();
    QString path() const { return m_path; }
    QString refusedPath() const;
    QVariantMap dictionaryRepresentation() const { return m_values; }

private:
    QString m_path;
    QVariantMap m_values;
};

} // namespace ns
