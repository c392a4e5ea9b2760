#pragma once

#include "sandbox/FormFields.h"

#include <QHash>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace sandbox {

class Backend;

// What a handler gets for one request.
struct InterfaceCall {
    Backend& backend;
    const FormFields& fields;
    // The subscriber of the request's session (interfaces that need a session), else empty.
    QString number;
};

using InterfaceHandler = std::function<QJsonObject(const InterfaceCall&)>;

// The interfaces the sandbox answers, by name. An interface added with Access::Session
// answers 9999 to a request whose session is unknown, expired or not that of its "num"; its
// handler runs only for a valid session:
//
//   registry.add("StarLevel", Access::Session, [](const InterfaceCall& call) { ... });
class InterfaceRegistry {
public:
    enum class Access { Open, Session };

    void add(const QString& name, Access access, InterfaceHandler handler);
    bool contains(const QString& name) const { return m_entries.contains(name); }
    QStringList names() const { return m_entries.keys(); }

    // The reply of the named interface; an unknown name gives a failure reply.
    QJsonObject call(const QString& name, Backend& backend, const FormFields& fields) const;

    // The subscriber number of the request's "session" when it is valid for its "num".
    static std::optional<QString> sessionNumber(Backend& backend, const FormFields& fields);

private:
    struct Entry {
        Access access;
        InterfaceHandler handler;
    };
    QHash<QString, Entry> m_entries;
};

} // namespace sandbox
