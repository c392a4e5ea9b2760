#include "widgets/InterfaceOrientation.h"

namespace InterfaceOrientation {

namespace {
int g_orientation = Portrait;
}

int statusBarOrientation() {
    return g_orientation;
}

void setStatusBarOrientation(int orientation) {
    g_orientation = orientation;
}

bool isLandscape(int orientation) {
    return orientation == LandscapeRight || orientation == LandscapeLeft;
}

} // namespace InterfaceOrientation
