#include "sandbox/InterfaceRegistry.h"

#include "sandbox/Backend.h"
#include "sandbox/Reply.h"

namespace sandbox {

void InterfaceRegistry::add(const QString& name, Access access, InterfaceHandler handler) {
    m_entries.insert(name, Entry{access, std::move(handler)});
}

QJsonObject InterfaceRegistry::call(const QString& name, Backend& backend,
                                    const FormFields& fields) const {
    const auto it = m_entries.constFind(name);
    if (it == m_entries.constEnd())
        return Reply::failure(Reply::kFailed, QStringLiteral("接口不存在：%1").arg(name));
    QString number;
    if (it->access == Access::Session) {
        const auto found = sessionNumber(backend, fields);
        if (!found) return Reply::sessionExpired();
        number = *found;
    }
    return it->handler(InterfaceCall{backend, fields, number});
}

std::optional<QString> InterfaceRegistry::sessionNumber(Backend& backend,
                                                        const FormFields& fields) {
    return backend.sessions().verify(fields.value("session"), fields.value("num"));
}

} // namespace sandbox
