#pragma once

#include "sandbox/Fault.h"

#include <QHash>
#include <QString>
#include <optional>

namespace sandbox {

// The faults in force, by interface name; "*" stands for every interface. A fault set for a
// name wins over the one for "*".
class FaultSwitch {
public:
    static constexpr const char* kAll = "*";

    void set(const QString& interfaceName, const Fault& fault) { m_faults[interfaceName] = fault; }
    void clear(const QString& interfaceName) { m_faults.remove(interfaceName); }
    void clearAll() { m_faults.clear(); }
    std::optional<Fault> faultFor(const QString& interfaceName) const;
    bool isEmpty() const { return m_faults.isEmpty(); }

private:
    QHash<QString, Fault> m_faults;
};

} // namespace sandbox
