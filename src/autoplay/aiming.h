#pragma once
// Where the built-in player points: the cursor position whose shot lands on
// a squid or a falling supply where it will be when the shot arrives, read
// from what is on screen this frame.

// A cursor position in screen pixels.
struct aim {
    int cursor_x, cursor_y;
};

// Frames from the decision to the shot's landing: the cursor moves in the
// next frame, the button goes down in the one after, and the shot flies 8.
constexpr int frames_until_landing = 10;

// A flying squid to shoot, supply squids first when energy is low; false
// when none will be in reach.
bool aim_at_squid(aim& result);
// A falling drop of the bonus carrier to catch; false when none will be in reach.
bool aim_at_drop(aim& result);
// The corner of the screen furthest from every squid and drop: a deliberate
// miss, which pays out the chain.
aim empty_corner();
