#pragma once

// A rectangle of a given size placed at a distance from a reference view or point.
struct BFTopPaddingLayout {
    float width = 0;
    float height = 0;
    float top = 0;
    float left = 0;
};
