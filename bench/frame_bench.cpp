// How long the game's work takes, without its sleeps: start-up asset loading,
// the busiest frames of play, and the puts they are made of.
// Run in the game folder:  cd build/game && ../bench/korvane_bench
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>

#include "assets/assets.h"
#include "combat/combat.h"
#include "flow/direction_tables.h"
#include "flow/play_state.h"
#include "flow/view.h"
#include "flow/flow_internal.h"
#include "present/headless_platform.h"
#include "present/screen.h"

namespace {

headless_platform platform({}, {}, std::nullopt);

void open_game_screen() {
    static bool open = false;
    if (open) return;
    install_platform(&platform);
    open_screen(screen_width, screen_height, 8, screen_pages, false);
    set_text_grid(80, 60);
    load_graphics();
    fill_direction_tables();
    open = true;
}

// A crowded late-stage frame: ten squids at full size, every effect slot
// busy, a shot in flight, a banner and the popup up.
void crowd_the_field() {
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
    shot_active = -1;
    shot_time = 6;
    shot_target_x = 300;
    shot_target_y = 200;
    shot_x = 320;
    shot_y = 300;
}

void play_one_frame() {
    set_pages(work_page, visible_page);
    draw_and_show_frame();
}

void BM_BusyFrame(benchmark::State& state) {
    open_game_screen();
    crowd_the_field();
    const auto saved_squids = std::to_array(squids);
    const auto saved_effects = std::to_array(effects);
    for (auto _ : state) {
        std::copy(saved_squids.begin(), saved_squids.end(), squids);
        std::copy(saved_effects.begin(), saved_effects.end(), effects);
        shot_active = -1;
        shot_time = 6;
        play_one_frame();
    }
}
BENCHMARK(BM_BusyFrame)->Unit(benchmark::kMicrosecond);

void BM_BonusStageFrame(benchmark::State& state) {
    open_game_screen();
    start_game();
    bonus_stage = -1;
    stage = 2;
    bands_stopped = -1;
    carrier = carrier_record{-1, carrier_hovering, 100,          43,           1,           10, 1,
                             0,  {-1, 0, -1, 0},   {5, 0, 5, 0}, {0, 0, 1, 0}, {0, 0, 0, 0}};
    for (int i = 0; i < 12; ++i) drops[i] = drop{drop_falling, i % 3 == 0, i % 3, -1, 20 + 4 * i, 10 + 3 * i, 5, 0};
    const carrier_record saved_carrier = carrier;
    const auto saved_drops = std::to_array(drops);
    for (auto _ : state) {
        carrier = saved_carrier;
        std::copy(saved_drops.begin(), saved_drops.end(), drops);
        play_one_frame();
    }
}
BENCHMARK(BM_BonusStageFrame)->Unit(benchmark::kMicrosecond);

void BM_LoadGraphics(benchmark::State& state) {
    open_game_screen();
    for (auto _ : state) {
        free_graphics();
        load_graphics();
    }
}
BENCHMARK(BM_LoadGraphics)->Unit(benchmark::kMillisecond);

void BM_PutBackground(benchmark::State& state) {
    open_game_screen();
    for (auto _ : state) put_image(nullptr, -24, -56, background_images[0], put_mode::copy);
}
BENCHMARK(BM_PutBackground)->Unit(benchmark::kMicrosecond);

void BM_PutCarrierTransparent(benchmark::State& state) {
    open_game_screen();
    for (auto _ : state) put_image(nullptr, 64, 40, sprite_images[80], put_mode::transparent);
}
BENCHMARK(BM_PutCarrierTransparent)->Unit(benchmark::kMicrosecond);

void BM_PutSquidSilhouette(benchmark::State& state) {
    open_game_screen();
    for (auto _ : state) put_sprite_silhouette(nullptr, 200, 200, 55, 12);
}
BENCHMARK(BM_PutSquidSilhouette)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
