#pragma once
// The player's side of a game: how the frame ends, the aiming cursor, the
// shot, and the field's bands and collapse. A game start resets all of it
// (game_start.cpp); the frame loop moves the cursor and the shot; the combat
// pass reads the shot and sets the bands at a stage change and the defeat.
//
// Truth values are -1 (true) and 0 (false), as the game has always stored
// them, and a test treats any non-zero value as true: shot_active = -1 means
// a shot is in flight.
#include <cstdint>

// How a frame of play ends; the frame loop acts on it after every frame.
enum frame_outcome_value : std::int32_t {
    outcome_play_on = 0,
    outcome_game_over = 1,        // set by the collapse's last frame (play_field.cpp)
    outcome_pause_requested = 2,  // set by the frame's input (frame_loop.cpp)
    outcome_quit = -1,            // set by the pause dialog
};
extern std::int32_t frame_outcome;  // a frame_outcome_value

// The aiming cursor in screen pixels, 0..639 and 0..479 (multiples of 8 while
// the mouse steers); frame_loop.cpp.
extern std::int32_t player_x, player_y;
// The fire control in this frame and the last: -1 held. A shot needs a fresh
// press; fire_before is -1 after the title screen, so a button still held
// from there never fires the first shot.
extern std::int32_t fire_now, fire_before;

// The shot (frame_loop.cpp).
extern std::int32_t shot_active;                   // -1 while a shot flies
extern std::int32_t shot_target_x, shot_target_y;  // field pixels where it lands
extern float shot_dx, shot_dy;                     // from the target back to the screen's bottom centre
extern std::int32_t shot_time;                     // 0 at launch, +2 a frame; it lands after 16
extern std::int32_t shot_x, shot_y;                // field pixels of its beam this frame, multiples of 8
// Flags of the one frame in which the shot lands, -1 then: it landed, it may
// hit (shot_impact, cleared by what it hits), it missed (cleared by a hit),
// and a hit raised the chain (set by the combat pass).
extern std::int32_t shot_landed, shot_impact, shot_missed, chain_hit;

// The ground bands: play_field.cpp steps them, a stage change sets them.
extern std::int32_t bands_accelerating;  // -1: steps come faster until there is one a frame
extern std::int32_t bands_braking;       // -1: steps come slower until the bands stop
extern std::int32_t bands_stopped;       // -1: frozen, and the bonus carrier comes in
extern std::int32_t band_step_frames;    // frames per step while accelerating or braking, 0..16
extern std::int32_t band_step_count;     // frames counted toward the next step

// The defeat, set when a squid escapes at energy 0 (squids.cpp), and the
// collapse that follows it (play_field.cpp).
extern std::int32_t defeated;         // -1 from the defeat on
extern std::int32_t defeat_frames;    // frames of the collapse so far; the game ends at 50
extern std::int32_t burst_countdown;  // frames until the collapse's next burst of explosions
