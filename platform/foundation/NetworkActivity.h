#pragma once

namespace ns {

// The status bar's network-activity indicator: one on/off switch, not a count.
namespace NetworkActivity {
void setVisible(bool visible);
bool isVisible();
} // namespace NetworkActivity

} // namespace ns
