#include "present/pad_motion.h"

#include <algorithm>
#include <cmath>

cursor_motion stick_motion(float x, float y, int dead_zone_percent, int speed_percent, bool fast, int ms) {
    const float deflection = std::hypot(x, y);
    const float dead_zone = static_cast<float>(std::clamp(dead_zone_percent, 0, 99)) / 100.0f;
    if (deflection <= dead_zone || ms <= 0) return {0, 0};
    // Beyond the dead zone the travel that is left counts from 0 to 1.
    const float beyond = std::min(1.0f, (deflection - dead_zone) / (1.0f - dead_zone));
    const float pixels = beyond * pad_full_tilt_pixels_per_second * static_cast<float>(speed_percent) / 100.0f *
                         (fast ? 2.0f : 1.0f) * static_cast<float>(ms) / 1000.0f;
    return {x / deflection * pixels, y / deflection * pixels};
}
