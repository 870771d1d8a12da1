#include "assets/assets.h"
#include "combat/combat.h"
#include "flow/flow.h"
#include "flow/flow_internal.h"
#include "present/input.h"
#include "state/play_state.h"

namespace {
std::int32_t games = 0;
}

std::int32_t games_started() { return games; }
void forget_games() { games = 0; }

void start_game() {
    ++games;
    frame_outcome = outcome_play_on;
    player_x = 312;
    player_y = 256;
    set_mouse(player_x, player_y, -1, -1);
    target_marker_hidden = 0;
    energy = 100;
    score = 0;
    stage = 1;
    bonus_stage = 0;
    carrier.active = 0;
    bands_accelerating = -1;
    bands_braking = 0;
    bands_stopped = 0;
    band_step_frames = 8;
    band_step_count = 0;
    banner_slots[0].active = 0;
    show_banner(144, 96, "STAGE " + padded_number(stage, 2), 4, 30);
    squid_count = 3;
    kills_left = 2 * stage + 4;
    quota_reached = 0;
    squids_in_flight = 0;
    start_squid_wave();
    for (drop& d : drops) d.active = 0;
    for (effect& e : effects) e.active = 0;
    // A shot still flying when the last game was quit is gone.
    fire_now = shot_active = shot_time = shot_impact = 0;
    shot_x = shot_y = shot_target_x = shot_target_y = 0;
    shot_dx = shot_dy = 0.0f;
    chain = shot_missed = shot_landed = chain_hit = 0;
    max_chain = 0;
    defeated = 0;
    burst_countdown = 0;
    defeat_frames = 0;
}
