#pragma once
// The frames the benchmarks and the drawing speed check time: the game's
// screen opened on the headless platform, and the busiest frames of play.
// Run in the game folder, where the pictures are.

// Opens the screen and loads the pictures, once.
void open_game_screen();
// A crowded late-stage frame: ten squids at full size, every effect slot
// busy, a shot in flight, a banner and the popup up.
void set_up_busy_frame();
// A bonus stage with the carrier hovering and twelve items falling.
void set_up_bonus_frame();
// Draws one frame of play of what was set up and puts it on show; the frame
// can be drawn again and again.
void play_busy_frame();
void play_bonus_frame();
