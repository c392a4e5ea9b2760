#pragma once

#include "tests/display/DisplaySession.h"

// Until two looks at the display in a row are the same: animations and loads are over.
inline bool displaySettled(DisplaySession& session, int guardMs = 5000) {
    QImage last;
    return DisplaySession::waitFor(
        [&] {
            const QImage now = session.screen();
            const bool same = !last.isNull() && now == last;
            last = now;
            return same;
        },
        guardMs, 150);
}
