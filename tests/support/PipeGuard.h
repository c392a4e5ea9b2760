#pragma once

#include "tests/support/Wait.h"

#include <QFile>
#include <QString>
#include <atomic>
#include <functional>
#include <thread>

// Runs work on a thread of its own and waits for it under a guard; a reader stuck opening the
// pipe is set free by a writer, so a failure never hangs the suite.
inline bool endsWithoutAWriter(const QString& pipe, const std::function<void()>& work) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done = true;
    });
    const bool ended = waitUntil([&] { return done.load(); }, 5000);
    if (!ended) {
        QFile writer(pipe);
        writer.open(QIODevice::WriteOnly);
        writer.close();
    }
    worker.join();
    return ended;
}
