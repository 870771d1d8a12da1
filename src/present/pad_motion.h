#pragma once
// How a game controller's stick moves the aiming cursor: like a mouse whose
// speed follows the stick's deflection beyond a round dead zone.

// At full tilt and speed 100 % the cursor crosses the 640-pixel picture in 0.8 s.
inline constexpr float pad_full_tilt_pixels_per_second = 800.0f;

struct cursor_motion {
    float dx, dy;  // screen pixels
};

// The motion over ms milliseconds of a stick held at (x, y), each -1..1 (y
// down): nothing within the dead zone (percent of the stick's travel, the
// same in every direction), then a speed that rises smoothly from 0 at its
// edge to full at full tilt; speed_percent scales it, and fast doubles it.
cursor_motion stick_motion(float x, float y, int dead_zone_percent, int speed_percent, bool fast, int ms);
