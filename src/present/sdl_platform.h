#pragma once
// The real display: a window or full screen through SDL2.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "present/input_script.h"
#include "present/platform.h"
#include "present/replay_timeline.h"
#include "present/window_settings.h"

// Called when the player asks for a screenshot (F12), with the 640x480
// picture on show and its palette.
using screenshot_handler = std::function<void(const std::uint8_t* pixels, const rgb* palette)>;

// Thrown out of the game when the player ends a replay (Escape held for a
// second, or the window's close button).
struct replay_ended {};

// Thrown out of the game when the watcher of a replay jumps: the program
// puts the game back as it starts (reset_program_state) and runs it again,
// and the platform plays it without drawing up to the moment jumped to.
struct replay_jumped {};

// Thrown out of the game when the program is asked to stop from outside
// (stop_sdl_platform), with the exit code it is to end with.
struct program_stopped {
    int exit_code;
};
// Asks the platform to stop the game at its next look at input or time;
// safe to call from a signal handler.
void stop_sdl_platform(int exit_code);

// Called when the player has changed settings while playing (the volume
// keys, Alt+Enter, the window's size), with all of them as they are now;
// a change that goes on (a window being dragged) is told once it settles.
using settings_handler = std::function<void(const window_settings& settings)>;

struct sdl_window_setup {
    std::string title;  // the window's title
    screenshot_handler on_screenshot;
    // With a replay, the recording's events drive the game at real speed and
    // the player's own input does not reach it: the watcher's keys pause it,
    // speed it up and jump in it (replay_overlay.h), by its timeline.
    std::optional<std::vector<script_event>> replay;
    std::optional<replay_timeline> timeline;
    // Told when a jump's catching up begins (true) and ends: nothing is to be heard meanwhile.
    std::function<void(bool catching_up)> on_catch_up;
    window_settings settings;
    settings_handler on_settings_changed;
};

std::unique_ptr<platform> make_sdl_platform(sdl_window_setup setup);
