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

// The game's state as the program holds it when it starts: what the title
// screen and a game start set, the cursor, the shot, the bands, the combat
// and its effects, the pages and the scroll, the random sequence from its
// beginning; silent, not recording, and no hook at the end of a frame. The
// direction tables are filled, as start-up does before anything else.
inline void reset_game_state() {
    hi_score = 0;
    quit_requested = 0;
    keyboard_control = 0;
    calm_mode = 0;
    part_on_show = part_title;

    work_page = 1;
    visible_page = 0;
    scroll_x = scroll_y = 0;
    background_index = 0;
    band_phase = 0;

    frame_outcome = outcome_play_on;
    player_x = player_y = 0;
    fire_now = fire_before = 0;
    shot_active = 0;
    shot_target_x = shot_target_y = 0;
    shot_dx = shot_dy = 0.0f;
    shot_time = 0;
    shot_x = shot_y = 0;
    shot_landed = shot_impact = shot_missed = chain_hit = 0;
    bands_accelerating = bands_braking = bands_stopped = 0;
    band_step_frames = band_step_count = 0;
    defeated = defeat_frames = burst_countdown = 0;
    mouse_x = mouse_y = mouse_buttons = mouse_present = 0;
    key_string.clear();

    for (squid& s : squids) s = squid{};
    squid_count = squids_in_flight = 0;
    carrier = carrier_record{};
    for (drop& d : drops) d = drop{};
    score = energy = stage = bonus_stage = kills_left = quota_reached = 0;
    chain = max_chain = target_marker_hidden = 0;
    for (effect& e : effects) e = effect{};
    for (text_slot& slot : banner_slots) slot = text_slot{};
    popup = text_slot{};

    restart_random_sequence();
    fill_direction_tables();
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
