#pragma once
// What the parts of the game flow call of each other.
#include <cstdint>
#include <string>

// Assigns every value a game starts with, in the game's order.
void start_game();
// No game started yet, as at start-up.
void forget_games();
// Plays frames until one ends with a non-zero outcome.
void run_frames();
// The cursor, the fire rule and the scroll of one frame.
void steer_and_fire();
// The shot's flight and landing.
void fly_shot();
// A frame's field, shot, combat and effects, then the flip and page swap.
void draw_and_show_frame();
// The play field of one frame: scheme, background, ground box, bands.
void draw_play_field();
// The field as the scheme, the scroll and the band phase show it, with
// nothing on it: background, ground box, bands.
void draw_field();

// Input of the current frame.
extern std::int32_t mouse_x, mouse_y, mouse_buttons, mouse_present;
extern std::string key_string;
