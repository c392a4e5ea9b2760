#pragma once

// A colour on the 0-255 scale with alpha 0-1, as the layout helpers take it.
struct BFColor {
    float red = 0;
    float green = 0;
    float blue = 0;
    float alpha = 1;
};
