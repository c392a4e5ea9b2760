#pragma once

namespace sandbox {

class InterfaceRegistry;

// Every interface the sandbox answers. A new interface adds its install() call here.
class Interfaces {
public:
    static void installAll(InterfaceRegistry& registry);
};

} // namespace sandbox
