// The game's values as the program holds them when it starts, for a program
// that plays the same recording again from its beginning in one process.
#include "combat/combat.h"
#include "flow/flow.h"
#include "flow/flow_internal.h"
#include "present/input_events.h"
#include "present/random.h"
#include "state/direction_tables.h"
#include "state/play_state.h"
#include "state/program_state.h"
#include "state/view.h"

void reset_program_state() {
    hi_score = 0;
    quit_requested = 0;
    keyboard_control = 0;
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
    forget_games();

    restart_random_sequence();
    reset_input();
    fill_direction_tables();
}
