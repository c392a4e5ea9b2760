#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "FeedBack" (needs a session): stores the subscriber's feedback ("content", "type", "star",
// "channelid", "versionid", "imei"). Empty content, or content longer than kMaxLength UTF-16
// units, is refused with result 1 and nothing stored.
class FeedBackInterface {
public:
    static constexpr int kMaxLength = 500;

    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
