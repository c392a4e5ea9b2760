#pragma once

#include <QEventLoop>
#include <QTimer>
#include <functional>

// Runs the event loop until done() holds or guardMs of real time pass; returns done().
// The guard is a real timer on purpose: it must fire while a test's manual clock stands.
inline bool waitUntil(const std::function<bool()>& done, int guardMs = 10000) {
    if (done()) return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start(1);
    guard.start(guardMs);
    loop.exec();
    return done();
}
