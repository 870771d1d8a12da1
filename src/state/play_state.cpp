// The state of play (play_state.h).
#include "state/play_state.h"

std::int32_t frame_outcome;
std::int32_t player_x, player_y;
std::int32_t fire_now, fire_before;

std::int32_t shot_active;
std::int32_t shot_target_x, shot_target_y;
float shot_dx, shot_dy;
std::int32_t shot_time;
std::int32_t shot_x, shot_y;
std::int32_t shot_landed, shot_impact, shot_missed, chain_hit;

std::int32_t bands_accelerating;
std::int32_t bands_braking;
std::int32_t bands_stopped;
std::int32_t band_step_frames;
std::int32_t band_step_count;

std::int32_t defeated;
std::int32_t defeat_frames;
std::int32_t burst_countdown;
