#pragma once

#include "app/core/HTTPRequest.h"
#include "tests/support/Wait.h"

#include <QList>
#include <QObject>
#include <algorithm>

// Runs until none of the screen's requests is on its way: each has been answered (and its
// answer handled) or called off. Only then can a test tell that a late answer changed nothing.
inline bool waitForRequestsToEnd(const QObject* screen, int guardMs = 10000) {
    return waitUntil(
        [screen] {
            const QList<HTTPRequest*> requests = screen->findChildren<HTTPRequest*>();
            return std::none_of(requests.begin(), requests.end(),
                                [](const HTTPRequest* r) { return r->isRunning(); });
        },
        guardMs);
}
