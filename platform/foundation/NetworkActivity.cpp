#include "platform/foundation/NetworkActivity.h"

namespace ns::NetworkActivity {

namespace {
bool g_visible = false;
}

void setVisible(bool visible) {
    g_visible = visible;
}
bool isVisible() {
    return g_visible;
}

} // namespace ns::NetworkActivity
