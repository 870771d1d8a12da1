#pragma once
// Game flow and play field: the program's start-up and outer loop, the frame
// loop with the aiming cursor and the player's shot, and the scrolling field.
#include <cstdint>
#include <string>
#include <vector>

// Runs the whole program: start-up, title screen, games, until the player
// quits. Returns the process's exit code.
int run_program(int argc, char** argv, bool full_screen);

// The command line as the program received it, for the sound set-up.
void keep_program_arguments(std::vector<std::string> arguments);
const std::vector<std::string>& program_arguments();

// Called at the end of every frame of play, after its sleep; for replays and tests.
void set_frame_end_hook(void (*hook)());
// Games started so far, and frames of play in the current or last game.
std::int32_t games_started();
std::int32_t frames_in_game();

// Direction tables of the squid launches: 5 sin and 4 cos of whole degrees 0..360.
extern float sin_table[361];
extern float cos_table[361];

// Program-wide state.
extern std::int32_t hi_score;
extern std::int32_t quit_requested;
extern std::int32_t keyboard_control;
extern std::int32_t work_page;
extern std::int32_t visible_page;
extern std::int32_t band_phase;
extern std::int32_t background_index;
extern std::int32_t fire_now;

// The frame and the player.
extern std::int32_t frame_outcome;  // 0 play on, 1 game over, 2 pause requested, -1 quit
extern std::int32_t fire_before;
extern std::int32_t player_x, player_y;
extern std::int32_t scroll_x, scroll_y;

// The player's shot.
extern std::int32_t shot_active;
extern std::int32_t shot_target_x, shot_target_y;
extern float shot_dx, shot_dy;
extern std::int32_t shot_time;
extern std::int32_t shot_x, shot_y;
extern std::int32_t shot_landed;
extern std::int32_t shot_impact;
extern std::int32_t shot_missed;
extern std::int32_t chain_hit;

// The play field's bands and the collapse after a defeat.
extern std::int32_t bands_accelerating;
extern std::int32_t bands_braking;
extern std::int32_t bands_stopped;
extern std::int32_t band_step_frames;
extern std::int32_t band_step_count;
extern std::int32_t defeated;
extern std::int32_t defeat_frames;
extern std::int32_t burst_countdown;

// Text-row offsets of the seven ground bands below the horizon, per phase;
// the instructions screen draws its bars with them too.
extern const std::int32_t band_rows[8][7];
