#pragma once
// What the screens share among themselves.
#include <string>

// Page 2 holds the picture of the screen being shown.
constexpr int picture_page = 2;

// True when this frame's input asks to skip a sequence: Escape or the close
// button among the key presses, or the middle mouse button.
bool skip_requested();
// A solid row of the 80x60 text grid in the current text colour.
void draw_bar(int row);
void instructions_screen();
void ending_screen();
