#pragma once
// What an SDL input event says to the game, worked out without touching
// anything: keys as PC scan codes and inkey strings, buttons as bits, the
// pointer's place on the picture, the focus. The SDL platform hands what this
// returns to the presentation service (input_events.h).
#include <SDL.h>

#include <string>
#include <vector>

struct input_report {
    enum class kind { key, press, button, pointer, pointer_left, wheel, focus, minimised };
    kind what;
    int code = 0;      // key: scan code; button: bit (0 left, 1 right, 2 middle); wheel: notches away
    bool on = false;   // key, button: held; focus: the window has it
    int x = 0, y = 0;  // pointer: screen pixels
    std::string text;  // press: what inkey returns for it
};

// The picture's place in the window, in the window's coordinates.
struct picture_place {
    int x, y, width, height;
};

// pointer: where the pointer is now, for events that do not carry it.
std::vector<input_report> map_sdl_input(const SDL_Event& event, const picture_place& place, SDL_Point pointer);

// The PC scan code of an SDL key; 0 for keys without one.
int pc_scan_code(SDL_Scancode key);
