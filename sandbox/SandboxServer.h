#pragma once

#include "sandbox/Backend.h"
#include "sandbox/ControlApi.h"
#include "sandbox/FaultSwitch.h"
#include "sandbox/InterfaceRegistry.h"
#include "sandbox/RequestLog.h"
#include "sandbox/SandboxOptions.h"

#include <QAbstractHttpServer>
#include <QString>
#include <functional>

class QTcpSocket;

namespace sandbox {

class ConnectionGate;

// The operator sandbox: a loopback HTTP server answering POST /pelvo/<Name>.do from its
// database, with a fault switch per interface and a log of what it received.
class SandboxServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    // Runs fn after ms unless context is gone first (delayed answers).
    using Scheduler = std::function<void(qint64 ms, QObject* context, std::function<void()> fn)>;

    explicit SandboxServer(QObject* parent = nullptr);

    // Opens the database and listens on 127.0.0.1. False (with a reason) when either fails.
    bool start(const SandboxOptions& options, QString* error = nullptr);
    quint16 port() const { return m_port; }
    // "http://127.0.0.1:<port>/pelvo/": interface names and ".do" are appended to it.
    QString baseAddress() const;

    FaultSwitch& faults() { return m_faults; }
    RequestLog& requests() { return m_log; }
    Backend& backend() { return m_backend; }
    InterfaceRegistry& interfaces() { return m_interfaces; }
    // The listening side: connections still sending, connections refused (after start()).
    ConnectionGate* gate() const { return m_gate; }

    // Replaces the timer of delayed answers (QTimer by default).
    void setScheduler(Scheduler scheduler) { m_scheduler = std::move(scheduler); }

signals:
    // An interface request arrived (after it was logged, before it is answered).
    void requestReceived(const QString& interfaceName);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    void receiveInterface(const QString& name, const QByteArray& body, QTcpSocket* socket);
    void answerInterface(const QString& name, const FormFields& fields, QTcpSocket* socket);
    void applyFault(const Fault& fault, const QString& name, const FormFields& fields,
                    QTcpSocket* socket);

    Backend m_backend;
    FaultSwitch m_faults;
    RequestLog m_log;
    InterfaceRegistry m_interfaces;
    ControlApi m_control;
    Scheduler m_scheduler;
    ConnectionGate* m_gate = nullptr;
    quint16 m_port = 0;
};

} // namespace sandbox
