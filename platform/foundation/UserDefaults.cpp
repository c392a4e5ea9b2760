#include "platform/foundation/UserDefaults.h"

#include "platform/foundation/Directories.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Values.h"

#include <QFile>
#include <QFileInfo>
#include <memory>

namespace ns {

namespace {
std::unique_ptr<UserDefaults>& standardSlot() {
    static std::unique_ptr<UserDefaults> slot;
    return slot;
}
} // namespace

UserDefaults& UserDefaults::standardUserDefaults() {
    auto& slot = standardSlot();
    if (!slot) slot = std::make_unique<UserDefaults>(Directories::preferences() + "/tavrix.plist");
    return *slot;
}

void UserDefaults::resetStandardUserDefaults() {
    standardSlot().reset();
}

UserDefaults::UserDefaults(QString path) : m_path(std::move(path)) {
    const QVariant stored = PropertyList::readFile(m_path);
    if (Values::isMap(stored)) {
        m_values = stored.toMap();
        return;
    }
    // Unreadable or refused: start empty, but the next save must not destroy what may be
    // the user's settings, merely grown too big. The last such file is kept beside it.
    // Anything but a plain file is no settings: the next save replaces it.
    const QFileInfo there(m_path);
    if (!there.isFile() || there.isSymLink()) return;
    QFile::remove(refusedPath());
    QFile::rename(m_path, refusedPath());
}

QString UserDefaults::refusedPath() const {
    return m_path + QStringLiteral(".refused");
}

QVariant UserDefaults::objectForKey(const QString& key) const {
    return m_values.value(key);
}

void UserDefaults::setObject(const QVariant& value, const QString& key) {
    if (!value.isValid() || value.isNull()) {
        m_values.remove(key);
        return;
    }
    m_values.insert(key, value);
}

void UserDefaults::removeObjectForKey(const QString& key) {
    m_values.remove(key);
}

QString UserDefaults::stringForKey(const QString& key) const {
    const QVariant v = m_values.value(key);
    return Values::isString(v) ? v.toString() : QString();
}

bool UserDefaults::boolForKey(const QString& key) const {
    return Values::boolValue(m_values.value(key));
}

qint64 UserDefaults::integerForKey(const QString& key) const {
    return Values::integerValue(m_values.value(key));
}

void UserDefaults::setBool(bool value, const QString& key) {
    m_values.insert(key, value);
}

void UserDefaults::setInteger(qint64 value, const QString& key) {
    m_values.insert(key, value);
}

bool UserDefaults::synchronize() {
    return PropertyList::writeFile(m_path, m_values);
}

} // namespace ns
