// One frame of play: input, cursor, the shot's launch and flight, the field,
// the combat pass and the effects, then the page swap and the 40 ms sleep.
#include <cmath>

#include "combat/combat.h"
#include "flow/flow.h"
#include "flow/flow_internal.h"
#include "present/input.h"
#include "present/screen.h"
#include "screens/screens.h"
#include "sound/sound.h"
#include "state/play_state.h"
#include "state/program_state.h"
#include "state/view.h"

std::int32_t mouse_x, mouse_y, mouse_buttons, mouse_present;
std::string key_string;

namespace {

void (*frame_end_hook)() = nullptr;
std::int32_t frames = 0;

void read_input() {
    int wheel = 0, clip = 0;
    mouse_present = get_mouse(mouse_x, mouse_y, wheel, mouse_buttons, clip) == 0 ? -1 : 0;
    mouse_x = (mouse_x >> 3) << 3;
    mouse_y = (mouse_y >> 3) << 3;
    key_string = inkey();
    // A player who switches to another window or minimises this one is away.
    const bool player_away = player_left_game();
    if (key_down(scan_escape) || key_string == close_button_key || (mouse_present && (mouse_buttons & 4)) ||
        player_away)
        frame_outcome = outcome_pause_requested;
}

// Arrow keys steer and Space or Ctrl fires; the title screen never starts a
// game this way, but the frame loop carries the mode.
void steer_by_keyboard() {
    if (key_down(scan_left)) player_x = player_x - 8 < 0 ? 0 : player_x - 8;
    if (key_down(scan_right)) player_x = player_x + 8 >= 639 ? 639 : player_x + 8;
    if (key_down(scan_up)) player_y = player_y - 8 < 0 ? 0 : player_y - 8;
    if (key_down(scan_down)) player_y = player_y + 8 >= 479 ? 479 : player_y + 8;
    fire_now = (key_down(scan_space) || key_down(scan_ctrl)) ? -1 : 0;
}

void play_frame() {
    part_on_show = part_play;
    set_pages(work_page, visible_page);
    read_input();
    steer_and_fire();
    draw_and_show_frame();
    sleep_plain(40);
    ++frames;
    if (frame_end_hook != nullptr) frame_end_hook();
    if (frame_outcome == outcome_pause_requested) {
        pause_screen(frame_outcome);
        player_left_game();  // whoever answered the dialog is back
    }
}

}  // namespace

void steer_and_fire() {
    if (keyboard_control != 0) {
        steer_by_keyboard();
    } else if (mouse_present) {
        player_x = mouse_x;
        player_y = mouse_y;
        fire_now = (mouse_buttons & 1) ? -1 : 0;
    }
    if (!fire_before && fire_now && !defeated && !shot_active) {
        shot_active = -1;
        shot_target_x = scroll_x + player_x;
        shot_target_y = scroll_y + player_y;
        shot_dx = static_cast<float>(320 - player_x);
        shot_dy = static_cast<float>(480 - player_y);
        shot_time = 0;
        play_sample(sample_laser, 0, -1);
    }
    fire_before = fire_now;
    scroll_x = ((player_x / 10) >> 3) << 3;
    scroll_y = (player_y / 64) * 8;
}

// Rounds to the nearest whole pixel (ties to even), then down to a multiple of 8.
static std::int32_t shot_cell(std::int32_t target, float delta) {
    const double position = target + (static_cast<double>(delta) / 16.0) * (16 - shot_time);
    return (static_cast<std::int32_t>(std::nearbyint(position)) >> 3) << 3;
}

void fly_shot() {
    shot_landed = 0;
    if (!shot_active) return;
    shot_time += 2;
    if (shot_time > 16) {
        shot_active = 0;
        shot_impact = -1;
        shot_missed = -1;
        shot_landed = -1;
        chain_hit = 0;
        return;
    }
    shot_x = shot_cell(shot_target_x, shot_dx);
    shot_y = shot_cell(shot_target_y, shot_dy);
}

void draw_and_show_frame() {
    draw_play_field();
    fly_shot();
    run_combat_pass();
    update_effects();
    flip();
    std::swap(work_page, visible_page);
}

void set_frame_end_hook(void (*hook)()) { frame_end_hook = hook; }
std::int32_t frames_in_game() { return frames; }

void run_frames() {
    frames = 0;
    player_left_game();  // leaving before play began is no reason to pause
    do {
        frame_outcome = outcome_play_on;
        play_frame();
    } while (frame_outcome == outcome_play_on);
}
