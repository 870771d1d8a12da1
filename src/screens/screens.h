#pragma once
// Everything shown outside play, and the best score's file.
#include <cstdint>

// Title screen: returns quit_requested and sets keyboard_control.
std::int32_t title_screen();
// Waits until Escape and the mouse buttons are released, then empties the key queue.
void wait_release();

void opening_sequence();
void pause_screen(std::int32_t& outcome);
void results_screen();

void read_hi_score(std::int32_t& value);
void write_hi_score(std::int32_t value);
