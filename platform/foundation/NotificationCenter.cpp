#include "platform/foundation/NotificationCenter.h"

#include <algorithm>

namespace ns {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(QObject* observer, const QString& name, const QObject* object,
                                     Handler handler) {
    if (!observer || !handler) return;
    m_entries.push_back({observer, observer, name, object, std::move(handler), ++m_serial});
}

void NotificationCenter::removeObserver(const QObject* observer) {
    std::erase_if(m_entries,
                  [&](const Entry& e) { return e.observerKey == observer || !e.observer; });
}

void NotificationCenter::removeObserver(const QObject* observer, const QString& name,
                                        const QObject* object) {
    std::erase_if(m_entries, [&](const Entry& e) {
        return !e.observer || (e.observerKey == observer && (name.isEmpty() || e.name == name) &&
                               (!object || e.object == object));
    });
}

void NotificationCenter::postNotificationName(const QString& name, const QObject* object,
                                              const QVariantMap& userInfo) {
    const Notification note{name, object, userInfo};
    // Handlers may add or remove observers (or destroy themselves): deliver to a snapshot of
    // serials and look each one up again before calling it.
    std::vector<quint64> targets;
    for (const Entry& e : m_entries)
        if ((e.name.isEmpty() || e.name == name) && (!e.object || e.object == object))
            targets.push_back(e.serial);
    for (quint64 serial : targets) {
        auto it = std::find_if(m_entries.begin(), m_entries.end(),
                               [&](const Entry& e) { return e.serial == serial; });
        if (it == m_entries.end() || !it->observer) continue;
        Handler h = it->handler;
        h(note);
    }
    std::erase_if(m_entries, [](const Entry& e) { return !e.observer; });
}

int NotificationCenter::observerCount(const QString& name) const {
    return int(std::count_if(m_entries.begin(), m_entries.end(),
                             [&](const Entry& e) { return e.observer && e.name == name; }));
}

} // namespace ns
