#include "Watchdog.h"

#include "tests/support/Wait.h"

#include <QFile>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace testsupport {

bool endsInTime(const std::function<void()>& work, const QStringList& pipes, int guardMs) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done = true;
    });
    const bool ended = waitUntil([&] { return done.load(); }, guardMs);
    if (!ended) ::signal(SIGPIPE, SIG_IGN); // a writer let through may write after the reader went
    while (!waitUntil([&] { return done.load(); }, 100)) {
        for (const QString& pipe : pipes) {
            const QByteArray at = QFile::encodeName(pipe);
            const int reader = ::open(at.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            ::close(::open(at.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
            ::close(reader);
        }
    }
    worker.join();
    return ended;
}

} // namespace testsupport
