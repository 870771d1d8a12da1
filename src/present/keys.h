#pragma once
// Every key the game and its platforms speak of, named once: PC scan codes
// (what key_down asks for), the strings inkey returns for a press, and the
// names input scripts use for keys.
#include <string>
#include <string_view>
#include <vector>

// PC scan codes (set 1). Both keys of a pair (left and right Ctrl, an arrow
// and its keypad twin) share one code.
enum scan_code : int {
    scan_escape = 1,
    scan_1 = 2,  // the digits 1..9 follow in order, then 0
    scan_0 = 11,
    scan_minus = 12,
    scan_equals = 13,
    scan_backspace = 14,
    scan_tab = 15,
    scan_q = 16,  // the letter rows: q..p, a..l, z..m
    scan_left_bracket = 26,
    scan_right_bracket = 27,
    scan_enter = 28,
    scan_ctrl = 29,
    scan_a = 30,
    scan_semicolon = 39,
    scan_apostrophe = 40,
    scan_grave = 41,
    scan_left_shift = 42,
    scan_backslash = 43,
    scan_z = 44,
    scan_comma = 51,
    scan_period = 52,
    scan_slash = 53,
    scan_right_shift = 54,
    scan_keypad_star = 55,
    scan_alt = 56,
    scan_space = 57,
    scan_caps_lock = 58,
    scan_f1 = 59,  // F1..F10 follow in order
    scan_num_lock = 69,
    scan_scroll_lock = 70,
    scan_home = 71,
    scan_up = 72,
    scan_page_up = 73,
    scan_keypad_minus = 74,
    scan_left = 75,
    scan_keypad_5 = 76,
    scan_right = 77,
    scan_keypad_plus = 78,
    scan_end = 79,
    scan_down = 80,
    scan_page_down = 81,
    scan_insert = 82,
    scan_delete = 83,
    scan_f11 = 87,
    scan_f12 = 88,
};

// The scan code of a letter a..z or a digit 0..9; 0 for anything else.
int scan_code_of_character(char c);

// Keys that type no character come out of inkey as two bytes: 255 and the
// key's scan code (the close button, which has none, gets a code of its own).
enum extended_key : int {
    ext_f1 = scan_f1,  // F1..F10 follow in order
    ext_home = scan_home,
    ext_up = scan_up,
    ext_page_up = scan_page_up,
    ext_left = scan_left,
    ext_right = scan_right,
    ext_end = scan_end,
    ext_down = scan_down,
    ext_page_down = scan_page_down,
    ext_insert = scan_insert,
    ext_delete = scan_delete,
    ext_close_button = 107,  // the window's close button
};

std::string extended_press(int code);
inline const std::string escape_key = "\x1b";
inline const std::string enter_key = "\r";
inline const std::string close_button_key = std::string("\xff") + static_cast<char>(ext_close_button);

// A key as input scripts name it: what key_down sees and what inkey returns
// (empty for a key that queues nothing, like Ctrl).
struct named_key {
    std::string name;
    int scan_code;
    std::string press;
};
// esc, enter, space, ctrl, the arrows, insert, delete, home, end, pageup,
// pagedown, f1..f10, a..z and 0..9, then every other key of scan_code, in
// that order: every key the game can ask about has a name.
const std::vector<named_key>& script_keys();
const named_key* find_script_key(std::string_view name);
// The script's key of a scan code, or nullptr when scripts have no name for it.
const named_key* script_key_with_scan_code(int scan_code);
// The names for people: "esc, enter, ..., f1..f10, a..z, 0..9, minus, ...".
std::string script_key_names();
