#include "sandbox/SandboxServer.h"

#include "sandbox/ArchiveFiles.h"
#include "sandbox/ConnectionGate.h"
#include "sandbox/Interfaces.h"
#include "sandbox/PaymentPage.h"
#include "sandbox/PictureStore.h"
#include "sandbox/Reply.h"
#include "sandbox/WebPages.h"

#include <QHttpServerRequest>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

namespace sandbox {

namespace {

const QString kInterfacePrefix = QStringLiteral("/pelvo/");
const QString kInterfaceSuffix = QStringLiteral(".do");

const QByteArray kErrorPage = "<!DOCTYPE html><html><head><title>500 Internal Server Error"
                              "</title></head><body><h1>Internal Server Error</h1>"
                              "<p>The server encountered an internal error.</p></body></html>";

} // namespace

SandboxServer::SandboxServer(QObject* parent)
    : QAbstractHttpServer(parent), m_control(m_faults, m_log, m_backend),
      m_scheduler([](qint64 ms, QObject* context, std::function<void()> fn) {
          QTimer::singleShot(std::chrono::milliseconds(ms), context, std::move(fn));
      }) {
    Interfaces::installAll(m_interfaces);
}

bool SandboxServer::start(const SandboxOptions& options, QString* error) {
    if (m_port != 0) {
        if (error) *error = QStringLiteral("already started");
        return false;
    }
    if (!m_backend.open(options.databasePath, options.reseed, error)) return false;
    m_backend.sessions().setTtlSeconds(std::max<qint64>(1, options.sessionTtlSeconds));
    m_backend.setGatewayNumber(options.gatewayNumber);

    ConnectionGate::Limits limits;
    limits.framing.maxBodyBytes = std::max<qint64>(0, options.maxBodyBytes);
    limits.idleTimeoutMs = std::max(1, options.idleTimeoutMs);
    limits.requestTimeoutMs = std::max(1, options.requestTimeoutMs);
    limits.writeTimeoutMs = std::max(1, options.writeTimeoutMs);
    limits.maxUnsentBytes = std::max<qint64>(1, options.maxUnsentBytes);
    auto* tcp = new ConnectionGate(limits, this);
    if (!tcp->open(options.port)) {
        if (error)
            *error = QStringLiteral("cannot listen on port %1: %2")
                         .arg(options.port)
                         .arg(tcp->errorString());
        delete tcp;
        return false;
    }
    bind(tcp);
    m_gate = tcp;
    m_port = tcp->serverPort();
    PictureStore::setBaseAddress(m_backend, QStringLiteral("http://127.0.0.1:%1").arg(m_port));
    return true;
}

QString SandboxServer::baseAddress() const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(kInterfacePrefix);
}

bool SandboxServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    const QString path = request.url().path();
    const bool isPost = request.method() == QHttpServerRequest::Method::Post;
    if (ControlApi::isControlPath(path)) {
        const QByteArray form =
            isPost ? request.body() : request.url().query(QUrl::FullyEncoded).toUtf8();
        m_control.handle(isPost, path, FormFields::parse(form)).sendTo(socket);
        return true;
    }
    const qsizetype nameLength = path.size() - kInterfacePrefix.size() - kInterfaceSuffix.size();
    if (path.startsWith(kInterfacePrefix) && path.endsWith(kInterfaceSuffix) && nameLength > 0) {
        if (!isPost) {
            HttpAnswer::json(Reply::failure(Reply::kFailed, QStringLiteral("请使用POST请求")), 405)
                .sendTo(socket);
            return true;
        }
        receiveInterface(path.mid(kInterfacePrefix.size(), nameLength), request.body(), socket);
        return true;
    }
    if (!isPost && PictureStore::isPicturePath(path)) {
        PictureStore::answer(m_backend, m_faults, request, socket);
        return true;
    }
    if (ArchiveFiles::handle(request, socket)) return true;
    if (PaymentPage::handle(request, m_backend, socket)) return true;
    if (WebPages::handle(request, m_backend, socket)) return true;
    missingHandler(request, socket);
    return true;
}

void SandboxServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    HttpAnswer::json(Reply::failure(Reply::kFailed,
                                    QStringLiteral("no such page: %1").arg(request.url().path())),
                     404)
        .sendTo(socket);
}

void SandboxServer::receiveInterface(const QString& name, const QByteArray& body,
                                     QTcpSocket* socket) {
    const FormFields fields = FormFields::parse(body);
    m_log.append(ReceivedRequest{name, fields, body});
    QPointer<QTcpSocket> guard(socket);
    emit requestReceived(name);
    if (!guard) return;
    if (const auto fault = m_faults.faultFor(name))
        applyFault(*fault, name, fields, socket);
    else
        answerInterface(name, fields, socket);
}

void SandboxServer::answerInterface(const QString& name, const FormFields& fields,
                                    QTcpSocket* socket) {
    const int status = m_interfaces.contains(name) ? 200 : 404;
    HttpAnswer::json(m_interfaces.call(name, m_backend, fields), status).sendTo(socket);
}

void SandboxServer::applyFault(const Fault& fault, const QString& name, const FormFields& fields,
                               QTcpSocket* socket) {
    QPointer<QTcpSocket> guard(socket);
    switch (fault.kind) {
    case Fault::Kind::Delay:
        // Fault::delay is not range-checked; a timer takes at most this.
        m_scheduler(std::clamp<qint64>(fault.value, 0, Fault::kMaxDelayMs), socket,
                    [this, guard, name, fields] {
                        // A client that gave up meanwhile gets nothing, and its request changes
                        // nothing; nor does one whose answer would join a full gate.
                        if (!guard || guard->state() != QAbstractSocket::ConnectedState) return;
                        if (m_gate && m_gate->isFull())
                            m_gate->dropLateAnswer(guard);
                        else
                            answerInterface(name, fields, guard);
                    });
        break;
    case Fault::Kind::NoAnswer:
        // The connection stays open until the client gives up or the server goes.
        break;
    case Fault::Kind::EmptyBody:
        HttpAnswer::empty().sendTo(socket);
        break;
    case Fault::Kind::Html500:
        HttpAnswer::html(kErrorPage, 500).sendTo(socket);
        break;
    case Fault::Kind::JsonArray:
        HttpAnswer::json(QJsonArray{Reply::ok()}).sendTo(socket);
        break;
    case Fault::Kind::Result:
        HttpAnswer::json(Reply::failure(fault.value, fault.msg)).sendTo(socket);
        break;
    case Fault::Kind::Drop:
        // Not from inside the server's read handler, which still holds the request.
        QMetaObject::invokeMethod(
            socket,
            [guard] {
                if (guard) guard->abort();
            },
            Qt::QueuedConnection);
        break;
    }
}

} // namespace sandbox
