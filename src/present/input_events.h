#pragma once
// How a platform backend hands input to the presentation service.
#include <string_view>

void report_key(int scan_code, bool held);
// One key press for inkey: a character, or 255 and an extended code.
void queue_key_press(std::string_view press);
void report_pointer_position(int x, int y);
void report_pointer_left();
void report_mouse_button(int bit, bool held);
void report_wheel(int notches);
void report_focus(bool has_focus);
void report_minimised();
// Forgets all input state; a new run of the game starts from nothing.
void reset_input();
