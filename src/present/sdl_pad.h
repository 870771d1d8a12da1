#pragma once
// Game controllers through SDL's game-controller API, plugged in before or
// during play, turned into the mouse and keys the game already reads (so a
// game played on a pad records and replays like any other): either stick or
// the d-pad moves the cursor (a shoulder button held doubles its speed), A is
// the left button, B and Back are Escape, and Start is Escape in play but A
// on the title, where Escape would leave the program.
#include <SDL.h>

#include <cstdint>
#include <vector>

#include "present/sdl_input.h"
#include "present/window_settings.h"

class sdl_pads {
public:
    sdl_pads() = default;
    sdl_pads(const sdl_pads&) = delete;
    sdl_pads& operator=(const sdl_pads&) = delete;
    ~sdl_pads();

    // Starts SDL's controllers and opens those plugged in; false when there are none to have.
    bool start();
    // A controller plugged in, pulled out, or a button: true when the event was
    // a pad's, with what it says to the game in out.
    bool handle(const SDL_Event& e, bool title_on_show, std::vector<input_report>& out);
    // The cursor's motion from the sticks held over since the last call.
    void move(std::uint64_t now_ms, const window_settings& settings, std::vector<input_report>& out);
    // The mouse moved the cursor: a pad moves it on from there.
    void follow_pointer(int x, int y);

private:
    std::vector<SDL_GameController*> open_;
    float cursor_x_ = 320, cursor_y_ = 240;
    int shown_x_ = -1, shown_y_ = -1;
    std::uint64_t last_move_ms_ = 0;
    bool started_ = false;
    bool start_is_a_ = false;  // a Start held since the title, released as A
};
