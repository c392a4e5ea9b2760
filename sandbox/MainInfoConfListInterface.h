#pragma once

#include "sandbox/InterfaceRegistry.h"

namespace sandbox {

// "MainInfoConfList" (needs a session, "channel" 2): the home page's three tiles under "list"
// ("position", "title", "main_desc", "photo", "type", "storyboardname", "viewname",
// "forward").
class MainInfoConfListInterface {
public:
    static void install(InterfaceRegistry& registry);
    static QJsonObject handle(const InterfaceCall& call);
};

} // namespace sandbox
