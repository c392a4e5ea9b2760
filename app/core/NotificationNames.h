#pragma once

// The names of the notifications the screens exchange on the default centre. They are part
// of how screens meet (the drawer, the home page, the data-usage screens), so they are spelled
// here once; misspellings are the names.
namespace notification {

// Session expired or log-out: the drawer container brings up the log-in screen.
inline constexpr char kPushToLoginVeiw[] = "PushToLoginVeiw";
// The home page's drawer button: open the drawer, or close it when open.
inline constexpr char kShowSideSlipView[] = "ShowSideSlipView";
// A drawer-menu button was pressed (object: the button): slide the tab bar back over.
inline constexpr char kHideSideSlipView[] = "HideSideSlipView";
// A drawer-menu button was pressed (object: the button): the home page opens its function.
inline constexpr char kPushToFunctionModule[] = "PushToFunctionModule";
// The drawer can be dragged only while the home page is visible.
inline constexpr char kAddPanGestureToRootView[] = "AddPanGestureToRootView";
inline constexpr char kRemovePanGestureFromRootView[] = "RemovePanGestureFromRootView";
// A data pack was ordered: the home page asks for its data balance again.
inline constexpr char kAddedFlowPack[] = "AddedFlowPack";

} // namespace notification
