#include "sandbox/FaultSwitch.h"

namespace sandbox {

std::optional<Fault> FaultSwitch::faultFor(const QString& interfaceName) const {
    auto it = m_faults.constFind(interfaceName);
    if (it == m_faults.constEnd()) it = m_faults.constFind(QLatin1String(kAll));
    if (it == m_faults.constEnd()) return std::nullopt;
    return *it;
}

} // namespace sandbox
