#pragma once

#include <QStringList>
#include <functional>

namespace testsupport {

// Runs work on a thread of its own under a guard of real time. Past it, each pipe is given a
// reader and a writer for a moment until the work ends, which frees whatever waits on one:
// a fault fails the test instead of hanging the suite. True when it ended in time.
bool endsInTime(const std::function<void()>& work, const QStringList& pipes, int guardMs = 5000);

} // namespace testsupport
