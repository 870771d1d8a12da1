#pragma once
// An open screen on the headless platform, for tests of drawing and input,
// in a program that has just started: every value the game keeps between
// frames and games is back where it begins, so that no test sees what
// another left behind, whatever order they run in.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "combat/combat.h"
#include "flow/flow.h"
#include "flow/flow_internal.h"
#include "present/headless_platform.h"
#include "present/input_events.h"
#include "present/input_recording.h"
#include "present/keys.h"
#include "present/random.h"
#include "present/screen.h"
#include "sound/sound.h"
#include "state/direction_tables.h"
#include "state/play_state.h"
#include "state/program_state.h"
#include "state/view.h"

// The game's state as the program holds it when it starts (as a replay
// played again from its start has it), and besides: not calm, silent, not
// recording, and no hook at the end of a frame.
inline void reset_game_state() {
    reset_program_state();
    calm_mode = 0;
    set_frame_end_hook(nullptr);
    stop_input_recording();
    sound_shutdown();
}

class test_screen {
public:
    explicit test_screen(std::vector<script_event> events = {})
        : platform_(std::move(events), {}, std::optional<std::uint64_t>{1'000'000'000}) {
        reset_game_state();
        install_platform(&platform_);
        reset_input();
        open_screen(screen_width, screen_height, 8, screen_pages, false);
        set_text_grid(80, 60);
    }
    ~test_screen() { install_platform(nullptr); }
    test_screen(const test_screen&) = delete;
    test_screen& operator=(const test_screen&) = delete;

    headless_platform& platform() { return platform_; }
    static std::uint8_t pixel(int page, int x, int y) { return page_pixels(page)[y * screen_width + x]; }

private:
    headless_platform platform_;
};

// A key of a test's script, by the name scripts use: down with its press (or
// what was typed, "Y" for a shifted y), or up.
inline script_event key(std::uint64_t ms, bool down, std::string_view name,
                        std::optional<std::string> typed = std::nullopt) {
    script_event e{};
    e.ms = ms;
    e.action = down ? script_action::key_down : script_action::key_up;
    const named_key* k = find_script_key(name);
    e.scan_code = static_cast<std::uint8_t>(k != nullptr ? k->scan_code : 0);
    if (down) e.set_key_press(typed ? std::string_view(*typed) : k != nullptr ? std::string_view(k->press) : "");
    return e;
}
