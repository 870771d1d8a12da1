#pragma once
// Colours as a reader sees them: relative luminance (sRGB) and the contrast
// of two luminances, 1:1 to 21:1; 3:1 is where art starts to read.
#include <algorithm>
#include <cmath>

inline double relative_luminance(int r, int g, int b) {
    const auto channel = [](int v) {
        const double x = v / 255.0;
        return x <= 0.03928 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b);
}

inline double contrast_of(double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); }
