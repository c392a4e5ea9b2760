#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "Advert" (needs a session, "channel" 2): the advert groups by "position", each with its
// "list" of items ("image", "name", "data", "forNative", "storyBoardName", "viewName").
class AdvertInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
