#pragma once

// The status bar's orientation as the dialogs and overlays read it: 1 portrait, 2 upside down,
// 3 landscape right, 4 landscape left. A desktop window never turns, so it answers portrait
// unless told otherwise (tests turn it).
namespace InterfaceOrientation {

constexpr int Portrait = 1;
constexpr int PortraitUpsideDown = 2;
constexpr int LandscapeRight = 3;
constexpr int LandscapeLeft = 4;

int statusBarOrientation();
void setStatusBarOrientation(int orientation);
bool isLandscape(int orientation);

} // namespace InterfaceOrientation
