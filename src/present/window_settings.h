#pragma once
// What the player sets for the window, the sound and the pad, kept between
// runs by the windowed programs (programs/settings.h reads and writes them).
// The window applies them and reports the ones the player changes while
// playing: the volume keys, Alt+Enter, the window's size.
struct window_settings {
    int volume = 100;  // percent of the samples' own loudness, 0..100, in steps of 10 from the keys
    bool muted = false;
    bool full_screen = false;
    int window_width = 640;  // the window's size when not full screen
    int window_height = 480;
    bool vsync = true;      // present in step with the display, where it offers that
    int pad_dead_zone = 8;  // percent of a stick's travel that does not move the cursor, 0..50
    int pad_speed = 100;    // percent; at 100 a stick held over crosses the picture in 0.8 s
};
