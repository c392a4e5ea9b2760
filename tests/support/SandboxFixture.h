#pragma once

// The operator sandbox, started in this process on a free loopback port with a fresh
// in-memory database of demo subscribers; everything goes away with the object.
//
//   SandboxFixture server;
//   QString base = server.baseAddress();      // "http://127.0.0.1:<port>/pelvo/"
//   QString session = server.signIn();        // a live session of the first demo subscriber
//   server.setFault("StarLevel", sandbox::Fault::result(9999));  // "*" for every interface
//   server.setFault("Login", sandbox::Fault::noAnswer());
//   ... drive the client ...
//   server.waitForRequests(2);
//   server.requests()[1].fields.value("num"), server.requests()[1].body
//
// Delayed answers (Fault::delay) and session expiry run on ns::Clock, so a test's
// ns::ScopedManualClock moves them: advance it to release a delayed answer. Install the
// manual clock before signing in when a test lets sessions run out by time.

#include "sandbox/DemoData.h"
#include "sandbox/Fault.h"
#include "sandbox/RequestLog.h"
#include "sandbox/SandboxOptions.h"

#include <QString>
#include <QUrl>
#include <memory>

namespace sandbox {
class SandboxServer;
}

class SandboxFixture {
public:
    // options.port and options.databasePath are ignored: a free port and a new in-memory
    // database are used.
    explicit SandboxFixture(const sandbox::SandboxOptions& options = {});
    ~SandboxFixture();
    SandboxFixture(const SandboxFixture&) = delete;
    SandboxFixture& operator=(const SandboxFixture&) = delete;

    QString baseAddress() const;                  // ends in "/pelvo/"
    QUrl interfaceUrl(const QString& name) const; // base + name + ".do"
    sandbox::SandboxServer& server() { return *m_server; }

    // The first demo subscriber (also the gateway's line unless options say otherwise).
    static QString demoNumber() { return sandbox::DemoData::primary().number; }
    static QString demoPassword() { return sandbox::DemoData::primary().password; }

    void setFault(const QString& interfaceName, const sandbox::Fault& fault);
    void clearFault(const QString& interfaceName);
    void clearFaults();

    // Interface requests received so far, oldest first.
    const QList<sandbox::ReceivedRequest>& requests() const;
    QList<sandbox::ReceivedRequest> requestsTo(const QString& interfaceName) const;
    void clearRequests();
    // Runs the event loop until `count` requests have arrived in all, or guardMs passes.
    bool waitForRequests(int count, int guardMs = 10000);

    // A new session for the subscriber, as a successful "Login" would give.
    QString signIn(const QString& number = demoNumber());
    // One column of a subscriber's account as the server's database holds it now.
    qint64 account(const char* column, const QString& number = demoNumber());
    void expireSessions();

private:
    std::unique_ptr<sandbox::SandboxServer> m_server;
};
