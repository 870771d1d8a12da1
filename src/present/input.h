#pragma once
// The mouse, the keyboard (held keys by PC scan code and a queue of key
// presses) and the sleeps that pace the game (random numbers: random.h).
#include <string>

#include "present/keys.h"

// 0 and the mouse state while the window has the focus and the pointer is over
// it; otherwise 1 and -1 in every output. A button that went down since the
// last read counts as held in this read, even if it is already up again.
int get_mouse(int& x, int& y, int& wheel, int& buttons, int& clip);
void set_mouse(int x, int y, int visibility, int clip);
// -1 while the key is held, or when it went down since this key was last read.
int key_down(int code);
// True once after the window lost the focus or was minimised, as the last
// look at the input saw it.
bool player_left_game();
std::string inkey();
void sleep_plain(int ms);
void sleep_or_key(int ms);
