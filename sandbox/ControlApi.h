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
//   GET  /sandbox/requests         a page of the request log as JSON, secrets masked
//                                  (?offset=0&limit=100; at most 500 a page; "next"
//                                  is the path of the following page)
class ControlApi {
public:
    ControlApi(FaultSwitch& faults, RequestLog& log, Backend& backend)
        : m_faults(faults), m_log(log), m_backend(backend) {}

    static constexpr qsizetype kDefaultPage = 100;
    static constexpr qsizetype kMaxPage = 500;

    static bool isControlPath(const QString& path);
    // fields: the form body of a POST, the query of a GET.
    HttpAnswer handle(bool isPost, const QString& path, const FormFields& fields);

private:
    HttpAnswer listRequests(const FormFields& query);
    HttpAnswer setFault(const FormFields& fields);

    FaultSwitch& m_faults;
    RequestLog& m_log;
    Backend& m_backend;
};

} // namespace sandbox
