#pragma once

#include "sandbox/FormFields.h"
#include "sandbox/HttpAnswer.h"

#include <QString>
#include <optional>

namespace sandbox {

class Backend;
class FaultSwitch;
class RequestLog;

// The sandbox's own HTTP endpoints, for tests that drive a separate sandbox process:
//   POST /sandbox/fault            interface, kind, value, msg (kind "none" clears one)
//   POST /sandbox/reset            clears every fault
//   POST /sandbox/clear-requests   empties the request log
//   POST /sandbox/expire-sessions  ends every session, or only "session" when given
//   GET  /sandbox/requests         the request log as JSON
class ControlApi {
public:
    ControlApi(FaultSwitch& faults, RequestLog& log, Backend& backend)
        : m_faults(faults), m_log(log), m_backend(backend) {}

    static bool isControlPath(const QString& path);
    HttpAnswer handle(bool isPost, const QString& path, const FormFields& fields);

private:
    HttpAnswer setFault(const FormFields& fields);

    FaultSwitch& m_faults;
    RequestLog& m_log;
    Backend& m_backend;
};

} // namespace sandbox
