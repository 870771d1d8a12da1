#pragma once
// The mouse, the keyboard (held keys by PC scan code and a queue of key
// presses), the sleeps that pace the game, and its random numbers.
#include <string>

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

// Two-byte key strings: byte 255 and a code.
inline const std::string escape_key = std::string(1, '\x1b');
inline const std::string close_button_key = std::string("\xff") + "k";

// Scan codes the game asks for.
enum scan_code : int {
    scan_escape = 1,
    scan_ctrl = 29,
    scan_space = 57,
    scan_up = 72,
    scan_left = 75,
    scan_right = 77,
    scan_down = 80,
};
