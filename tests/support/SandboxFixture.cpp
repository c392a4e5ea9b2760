#include "tests/support/SandboxFixture.h"

#include "platform/foundation/Clock.h"
#include "sandbox/Backend.h"
#include "sandbox/Database.h"
#include "sandbox/SandboxServer.h"

#include <QEventLoop>
#include <QTimer>
#include <stdexcept>

SandboxFixture::SandboxFixture(const sandbox::SandboxOptions& options)
    : m_server(std::make_unique<sandbox::SandboxServer>()) {
    sandbox::SandboxOptions own = options;
    own.port = 0;
    // In memory: as fresh as a new file, without a disk flush for every test that starts one.
    own.databasePath = QStringLiteral(":memory:");
    m_server->setScheduler([](qint64 ms, QObject* context, std::function<void()> fn) {
        ns::performAfter(ms, context, std::move(fn));
    });
    m_server->backend().sessions().setNow([] { return ns::Clock::current().nowMs(); });
    QString error;
    if (!m_server->start(own, &error))
        throw std::runtime_error("sandbox did not start: " + error.toStdString());
}

SandboxFixture::~SandboxFixture() = default;

QString SandboxFixture::baseAddress() const {
    return m_server->baseAddress();
}

QUrl SandboxFixture::interfaceUrl(const QString& name) const {
    return QUrl(baseAddress() + name + QStringLiteral(".do"));
}

void SandboxFixture::setFault(const QString& interfaceName, const sandbox::Fault& fault) {
    m_server->faults().set(interfaceName, fault);
}

void SandboxFixture::clearFault(const QString& interfaceName) {
    m_server->faults().clear(interfaceName);
}

void SandboxFixture::clearFaults() {
    m_server->faults().clearAll();
}

const QList<sandbox::ReceivedRequest>& SandboxFixture::requests() const {
    return m_server->requests().entries();
}

QList<sandbox::ReceivedRequest> SandboxFixture::requestsTo(const QString& interfaceName) const {
    return m_server->requests().entriesFor(interfaceName);
}

void SandboxFixture::clearRequests() {
    m_server->requests().clear();
}

bool SandboxFixture::waitForRequests(int count, int guardMs) {
    if (requests().size() >= count) return true;
    QEventLoop loop;
    QObject::connect(m_server.get(), &sandbox::SandboxServer::requestReceived, &loop, [&] {
        if (requests().size() >= count) loop.quit();
    });
    // A real timer on purpose: the guard must fire even while a test's manual clock stands.
    QTimer::singleShot(guardMs, &loop, &QEventLoop::quit);
    loop.exec();
    return requests().size() >= count;
}

qint64 SandboxFixture::account(const char* column, const QString& number) {
    return server()
        .backend()
        .database()
        .scalar(QStringLiteral("SELECT %1 FROM accounts WHERE number = ?").arg(column), {number})
        .toLongLong();
}

QString SandboxFixture::signIn(const QString& number) {
    return m_server->backend().sessions().create(number);
}

void SandboxFixture::expireSessions() {
    m_server->backend().sessions().expireAll();
}
