#include "busy_frames.h"

#include <algorithm>
#include <array>

#include "assets/assets.h"
#include "combat/combat.h"
#include "flow/flow_internal.h"
#include "present/headless_platform.h"
#include "present/screen.h"
#include "state/direction_tables.h"
#include "state/play_state.h"
#include "state/view.h"

namespace {

headless_platform bench_platform({}, {}, std::nullopt);
std::array<squid, max_squids> busy_squids;
std::array<effect, max_effects> busy_effects;
carrier_record bonus_carrier;
std::array<drop, max_drops> bonus_drops;

void play_one_frame() {
    set_pages(work_page, visible_page);
    draw_and_show_frame();
}

}  // namespace

void open_game_screen() {
    static bool open = false;
    if (open) return;
    install_platform(&bench_platform);
    open_screen(screen_width, screen_height, 8, screen_pages, false);
    set_text_grid(80, 60);
    load_graphics();
    fill_direction_tables();
    open = true;
}

void set_up_busy_frame() {
    start_game();
    stage = 8;
    squid_count = 10;
    bands_accelerating = 0;
    for (int i = 0; i < max_squids; ++i) {
        squid& s = squids[i];
        s.state = i % 4 == 3 ? squid_exploding : squid_flying;
        s.kind = i == 5;
        s.variety = i % 3;
        s.age = 90 + i;
        s.x = 120.0f + 50 * i;
        s.y = 150.0f + 25 * (i % 5);
        s.dx = i % 2 ? 3.5f : -3.5f;
        s.dy = 0.5f;
        s.frame = s.state == squid_exploding ? 5 : s.age / 14;
    }
    for (int i = 0; i < max_effects; ++i) spawn_effect(40 * i, 30 * (i % 12));
    show_popup(424, 352, "+0700", 15, 10);
    std::copy(squids, squids + max_squids, busy_squids.begin());
    std::copy(effects, effects + max_effects, busy_effects.begin());
}

void play_busy_frame() {
    std::copy(busy_squids.begin(), busy_squids.end(), squids);
    std::copy(busy_effects.begin(), busy_effects.end(), effects);
    shot_active = -1;
    shot_time = 6;
    shot_target_x = 300;
    shot_target_y = 200;
    shot_x = 320;
    shot_y = 300;
    play_one_frame();
}

void set_up_bonus_frame() {
    start_game();
    bonus_stage = -1;
    stage = 2;
    bands_stopped = -1;
    bonus_carrier = carrier_record{-1, carrier_hovering, 100,          43,           1,           10, 1,
                                   0,  {-1, 0, -1, 0},   {5, 0, 5, 0}, {0, 0, 1, 0}, {0, 0, 0, 0}};
    for (int i = 0; i < 12; ++i)
        bonus_drops[i] = drop{drop_falling, i % 3 == 0, i % 3, -1, 20 + 4 * i, 10 + 3 * i, 5, 0};
}

void play_bonus_frame() {
    carrier = bonus_carrier;
    std::copy(bonus_drops.begin(), bonus_drops.end(), drops);
    play_one_frame();
}
