// The sandbox server under load, driven over loopback: log-ins per second with an empty and a
// full session table, its memory after many large requests, a steady reader of an answer
// larger than the limit on unwritten answers, and what a generated picture costs it (a
// separate process); StarLevel and Login per second through the connection gate and
// around it (a server thread).

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "sandbox/Backend.h"
#include "sandbox/SandboxServer.h"
#include "tests/support/NonReader.h"

#include <QEventLoop>
#include <QTcpServer>
#include <QThread>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <future>
#include <memory>
#include <netinet/in.h>
#include <pthread.h>
#include <sys/socket.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

QString sandboxBinary() {
    QString path = qEnvironmentVariable("TAVRIX_SANDBOX_BIN");
    if (path.isEmpty()) path = QCoreApplication::applicationDirPath() + "/../tavrix-sandbox";
    return QFileInfo(path).isExecutable() ? path : QString();
}

// One request on a new connection; the answer up to the server's close.
QByteArray roundTrip(quint16 port, const QByteArray& request) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QByteArray answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        for (qsizetype sent = 0; sent < request.size();) {
            const ssize_t n =
                ::send(fd, request.constData() + sent, size_t(request.size() - sent), MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += n;
        }
        char buffer[4096];
        for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
            answer.append(buffer, n);
    }
    ::close(fd);
    return answer;
}

QByteArray post(const QByteArray& path, const QByteArray& body) {
    return "POST " + path +
           " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: "
           "application/x-www-form-urlencoded\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

// A sandbox process on its own database file; gone with the object.
class SandboxProcess {
public:
    // sessions: live sessions stored before it starts.
    explicit SandboxProcess(int sessions, const QStringList& options = {}) {
        const QString db = m_dir.filePath("sandbox.sqlite");
        {
            sandbox::Backend backend;
            backend.open(db, false, nullptr);
            backend.database().transaction([&] {
                for (int i = 0; i < sessions; ++i)
                    backend.database().exec(
                        "INSERT INTO sessions (token, number, expires_at) VALUES (?, ?, ?)",
                        {QStringLiteral("stored%1").arg(i), "13800000002",
                         qint64(4102444800000)}); // 2100: none of them expires meanwhile
                return true;
            });
        }
        m_process.start(sandboxBinary(), QStringList{"--db", db, "--port", "0"} + options);
        m_process.waitForReadyRead(20000);
        const QByteArray line = m_process.readLine();
        const qsizetype colon = line.lastIndexOf(':');
        m_port = quint16(line.mid(colon + 1).split('/').value(0).toUInt());
    }
    ~SandboxProcess() {
        m_process.kill();
        m_process.waitForFinished(20000);
    }
    quint16 port() const { return m_port; }
    double rssMegabytes() const { return statusMegabytes("VmRSS:"); }
    // The most it has held so far.
    double peakRssMegabytes() const { return statusMegabytes("VmHWM:"); }

private:
    double statusMegabytes(const QByteArray& field) const {
        QFile status(QStringLiteral("/proc/%1/status").arg(m_process.processId()));
        if (!status.open(QIODevice::ReadOnly)) return 0;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith(field))
                return line.mid(field.size()).trimmed().split(' ')[0].toDouble() / 1024;
        return 0;
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};

void BM_Sandbox_Logins(benchmark::State& state) {
    if (sandboxBinary().isEmpty()) {
        state.SkipWithError("tavrix-sandbox not found");
        return;
    }
    SandboxProcess sandbox(int(state.range(0)));
    const QByteArray request = post("/pelvo/Login.do", "num=13800000001&pass=123456&channelid=2");
    std::vector<double> micros;
    int failed = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const QByteArray answer = roundTrip(sandbox.port(), request);
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
        if (!answer.contains("\"result\":0")) ++failed;
    }
    std::sort(micros.begin(), micros.end());
    auto percentile = [&](double p) {
        return micros.empty() ? 0.0 : micros[size_t(p * double(micros.size() - 1))];
    };
    state.SetItemsProcessed(state.iterations());
    state.counters["p50_us"] = percentile(0.50);
    state.counters["p99_us"] = percentile(0.99);
    state.counters["failed"] = failed;
}
BENCHMARK(BM_Sandbox_Logins)->Arg(0)->Arg(30000)->Unit(benchmark::kMicrosecond)->UseRealTime();

// 1,000 requests of 128 KB each (under the body limit, so each is read, logged and
// answered), then 1,000 announcing ten megabytes (refused at the head).
void BM_Sandbox_LargeBodies(benchmark::State& state) {
    if (sandboxBinary().isEmpty()) {
        state.SkipWithError("tavrix-sandbox not found");
        return;
    }
    SandboxProcess sandbox(0);
    const double before = sandbox.rssMegabytes();
    const QByteArray large =
        post("/pelvo/Login.do", "num=13800000001&pass=" + QByteArray(128 * 1024, 'x'));
    const QByteArray huge = "POST /pelvo/Login.do HTTP/1.1\r\nContent-Length: 10485760\r\n\r\n";
    int refused = 0;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i)
            roundTrip(sandbox.port(), large);
        for (int i = 0; i < 1000; ++i)
            refused += roundTrip(sandbox.port(), huge).startsWith("HTTP/1.1 413");
    }
    state.counters["rss_before_MB"] = before;
    state.counters["rss_after_MB"] = sandbox.rssMegabytes();
    state.counters["refused_413"] = refused;
}
BENCHMARK(BM_Sandbox_LargeBodies)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// 300 clients that ask for a large page (the request log: 100 entries of 4 KB of control
// bytes, some 4.8 MB of JSON) and never read it, as one attacker would. The sandbox's peak
// memory once all of them are answered, against its memory before; with the default limit on
// unwritten answers (argument 0) and with --max-unsent-mb at the argument. The reader behind
// them finds the limit reached: its status is 503.
void BM_Sandbox_UnreadAnswers(benchmark::State& state) {
    if (sandboxBinary().isEmpty()) {
        state.SkipWithError("tavrix-sandbox not found");
        return;
    }
    SandboxProcess sandbox(
        0, state.range(0) == 0 ? QStringList{}
                               : QStringList{"--max-unsent-mb", QString::number(state.range(0))});
    const QByteArray filler = post("/pelvo/Login.do", "k=" + QByteArray(4000, '\x01'));
    for (int i = 0; i < 100; ++i)
        roundTrip(sandbox.port(), filler);
    const double before = sandbox.rssMegabytes();
    const QByteArray page = "GET /sandbox/requests?limit=100 HTTP/1.1\r\n\r\n";
    int status = 0;
    for (auto _ : state) {
        std::vector<int> clients;
        for (int i = 0; i < 300; ++i)
            clients.push_back(testsupport::nonReader(sandbox.port(), page));
        // Answered in turn: once a reader behind them has its answer, all of them have theirs.
        status = roundTrip(sandbox.port(), page).mid(9, 3).toInt();
        state.counters["peak_rss_MB"] = sandbox.peakRssMegabytes();
        for (int fd : clients)
            ::close(fd);
    }
    state.counters["rss_before_MB"] = before;
    state.counters["reader_status"] = status;
}
BENCHMARK(BM_Sandbox_UnreadAnswers)
    ->Arg(0)
    ->Arg(64)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A client reading an answer larger than --max-unsent-mb 4 at a steady 2 MB/s, 64 KB at a
// time: the 20 MB archive, streamed (argument 0), and the request log's page of some 4.8 MB,
// queued whole (1). The limit counts only what is not yet written, so the reader is served
// whole; a log-in sent after each megabyte read runs, or gets 503 while what is unwritten is
// at the limit.
void BM_Sandbox_SteadyReader(benchmark::State& state) {
    if (sandboxBinary().isEmpty()) {
        state.SkipWithError("tavrix-sandbox not found");
        return;
    }
    SandboxProcess sandbox(0, {"--max-unsent-mb", "4"});
    const bool page = state.range(0) == 1;
    if (page) {
        const QByteArray filler = post("/pelvo/Login.do", "k=" + QByteArray(4000, '\x01'));
        for (int i = 0; i < 100; ++i)
            roundTrip(sandbox.port(), filler);
    }
    const QByteArray request = page ? "GET /sandbox/requests?limit=100 HTTP/1.1\r\n\r\n"
                                    : "GET /archives/generated/bytes-20971520.zip HTTP/1.1\r\n\r\n";
    const QByteArray login = post("/pelvo/Login.do", "num=13800000001&pass=123456&channelid=2");
    constexpr double kBytesPerSecond = 2.0 * 1024 * 1024;
    constexpr qint64 kMegabyte = 1024 * 1024;
    qint64 received = 0;
    int whole = 0, loginsRun = 0, loginsRefused = 0;
    double seconds = 0;
    for (auto _ : state) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int window = 64 * 1024;
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &window, sizeof window);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(sandbox.port());
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        QByteArray answer;
        const auto start = std::chrono::steady_clock::now();
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
            ::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL) > 0) {
            std::vector<char> buffer(64 * 1024);
            qint64 nextLogin = kMegabyte;
            for (ssize_t n; (n = ::recv(fd, buffer.data(), buffer.size(), 0)) > 0;) {
                answer.append(buffer.data(), n);
                if (answer.size() >= nextLogin) {
                    nextLogin += kMegabyte;
                    const QByteArray got = roundTrip(sandbox.port(), login);
                    loginsRun += got.contains("\"result\":0");
                    loginsRefused += got.startsWith("HTTP/1.1 503");
                }
                std::this_thread::sleep_until(
                    start + std::chrono::duration<double>(double(answer.size()) / kBytesPerSecond));
            }
        }
        ::close(fd);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        received += answer.size();
        const qsizetype head = answer.indexOf("\r\n\r\n");
        const qsizetype at = answer.indexOf("Content-Length: ");
        if (head > 0 && at > 0 && at < head) {
            const qint64 length =
                answer.mid(at + 16, answer.indexOf('\r', at) - at - 16).toLongLong();
            whole += answer.size() - head - 4 == length;
        }
    }
    state.SetLabel(page ? "page queued whole" : "archive streamed");
    state.counters["read_MB"] = double(received) / kMegabyte;
    state.counters["served_whole"] = whole;
    state.counters["logins_run"] = loginsRun;
    state.counters["logins_503"] = loginsRefused;
    state.counters["seconds"] = seconds;
}
BENCHMARK(BM_Sandbox_SteadyReader)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A generated picture of the arguments' size (/pictures/generated/WxH.png), fetched alone, and
// then again with a log-in sent right behind it: the log-in waits for whatever making the
// picture costs the sandbox's event loop.
void BM_Sandbox_GeneratedPicture(benchmark::State& state) {
    if (sandboxBinary().isEmpty()) {
        state.SkipWithError("tavrix-sandbox not found");
        return;
    }
    SandboxProcess sandbox(0);
    const QByteArray picture = "GET /pictures/generated/" + QByteArray::number(state.range(0)) +
                               'x' + QByteArray::number(state.range(1)) + ".png HTTP/1.1\r\n\r\n";
    const QByteArray login = post("/pelvo/Login.do", "num=13800000001&pass=123456&channelid=2");
    using Clock = std::chrono::steady_clock;
    const auto millisSince = [](Clock::time_point start) {
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    double pictureMs = 0, loginMs = 0;
    qint64 bytes = 0;
    int failed = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        const QByteArray answer = roundTrip(sandbox.port(), picture);
        pictureMs += millisSince(start);
        bytes = answer.size();
        failed += !answer.startsWith("HTTP/1.1 200");

        const int ahead = testsupport::nonReader(sandbox.port(), picture); // sent, never read
        start = Clock::now();
        failed += !roundTrip(sandbox.port(), login).contains("\"result\":0");
        loginMs += millisSince(start);
        ::close(ahead);
    }
    const double n = double(state.iterations());
    state.counters["picture_ms"] = pictureMs / n;
    state.counters["login_behind_ms"] = loginMs / n;
    state.counters["answer_KB"] = double(bytes) / 1024;
    state.counters["failed"] = failed;
}
BENCHMARK(BM_Sandbox_GeneratedPicture)
    ->Args({1280, 400})
    ->Args({5000, 5000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A sandbox on its own thread, reachable through its gate and through a plain listening socket
// bound to the same server (Qt's own accepting: no framing check, limits or time-outs).
class SandboxThread {
public:
    SandboxThread() {
        std::promise<std::pair<quint16, quint16>> ports;
        auto ready = ports.get_future();
        m_thread.reset(QThread::create([&ports, path = m_dir.filePath("sandbox.sqlite")] {
            sandbox::SandboxServer server;
            sandbox::SandboxOptions options;
            options.databasePath = path;
            QTcpServer plain;
            if (!server.start(options) || !plain.listen(QHostAddress::LocalHost)) {
                ports.set_value({0, 0});
                return;
            }
            server.bind(&plain);
            ports.set_value({server.port(), plain.serverPort()});
            QEventLoop loop; // until the thread is told to quit
            loop.exec();
        }));
        m_thread->start();
        std::tie(m_gated, m_plain) = ready.get();
    }
    ~SandboxThread() {
        m_thread->quit();
        m_thread->wait();
    }
    quint16 port(bool gated) const { return gated ? m_gated : m_plain; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QThread> m_thread;
    quint16 m_gated = 0;
    quint16 m_plain = 0;
};

// StarLevel (argument 0) or Login (1), through the gate and around it in turns, so both see
// the same load on the machine: requests per second each way and the gate's cost in percent.
void BM_Sandbox_Gate(benchmark::State& state) {
    SandboxThread sandbox;
    if (sandbox.port(true) == 0) {
        state.SkipWithError("the sandbox did not start");
        return;
    }
    const QByteArray login =
        post("/pelvo/Login.do", "num=13800000001&pass=123456&channelid=2&versionid=1.0");
    QByteArray request = login;
    if (state.range(0) == 0) {
        const QByteArray answer = roundTrip(sandbox.port(true), login);
        const qsizetype at = answer.indexOf("\"session\":\"") + 11;
        const QByteArray session = answer.mid(at, answer.indexOf('"', at) - at);
        request = post("/pelvo/StarLevel.do", "session=" + session + "&num=13800000001");
    }
    double seconds[2] = {0, 0}; // around, through
    int failed = 0;
    for (auto _ : state) {
        for (const bool gated : {false, true}) {
            const auto start = std::chrono::steady_clock::now();
            failed += !roundTrip(sandbox.port(gated), request).contains("\"result\":0");
            seconds[gated] +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
    }
    const double n = double(state.iterations());
    state.SetLabel(state.range(0) == 0 ? "StarLevel" : "Login");
    state.counters["around_gate_per_s"] = seconds[0] > 0 ? n / seconds[0] : 0;
    state.counters["through_gate_per_s"] = seconds[1] > 0 ? n / seconds[1] : 0;
    state.counters["gate_cost_pct"] = seconds[0] > 0 ? 100 * (seconds[1] / seconds[0] - 1) : 0;
    state.counters["failed"] = failed;
}
BENCHMARK(BM_Sandbox_Gate)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
