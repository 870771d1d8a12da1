// A watched replay's jumps an hour in, as the window makes them without its
// upload: the game played again from its start without drawing, keeping the
// page history, and drawn only from where the picture on show needs it.
// Beside it the floor: the same run with neither the history nor drawing.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "flow/flow.h"
#include "present/headless_platform.h"
#include "present/page_history.h"
#include "present/replay_timeline.h"
#include "present/screen.h"
#include "programs/recordings.h"
#include "programs/replay_survey.h"
#include "recorded_games.h"
#include "screens/screens.h"
#include "sound/recording_sound_library.h"
#include "sound/sound.h"

namespace {

char program_name[] = "korvane";
char* game_args[] = {program_name, nullptr};

// The autoplayer's 31 games: 69 minutes, the last starting 67 minutes in.
constexpr int games_in_an_hour = 31;

struct watched_recording {
    script_contents script;
    replay_timeline timeline;
    std::uint64_t last_game = 0, game_before = 0;  // where they start
};

const watched_recording* surveyed_recording() {
    static const std::optional<watched_recording> ready = []() -> std::optional<watched_recording> {
        watched_recording w;
        const std::string& path = recorded_games(games_in_an_hour);
        if (path.empty() || !read_recording("korvane_bench", path, w.script)) return std::nullopt;
        keep_hi_score_apart(w.script.best_at_start);
        w.timeline = survey_replay(w.script.events, 1, game_args);
        w.last_game = w.timeline.previous_game_start(w.timeline.length_ms());
        w.game_before = w.timeline.previous_game_start(w.last_game);
        return w;
    }();
    return ready ? &*ready : nullptr;
}

const watched_recording* watched(benchmark::State& state) {
    const watched_recording* w = surveyed_recording();
    if (w == nullptr) state.SkipWithError("the autoplayer's games were not recorded: run in the game folder");
    return w;
}

// From the start to ms, drawn as planned, on the pages' pixels as the last
// run left them; the seconds it took.
double play_to(const watched_recording& w, std::uint64_t ms, const redrawing& plan) {
    const std::uint64_t draw_from_ms = plan.from_ms;
    const auto start = std::chrono::steady_clock::now();
    reset_program_state();
    headless_platform platform(w.script.events, {}, ms + 1);
    platform.on_sleep([draw_from_ms](std::uint64_t wake_ms) {
        if (wake_ms >= draw_from_ms && !drawing()) set_drawing(true);
    });
    recording_sound_library sound;
    use_sound_library(&sound);
    install_platform(&platform);
    keep_pixels_at_next_open();
    set_drawing(draw_from_ms == 0);
    try {
        run_program(1, game_args, false);
    } catch (const headless_run_over&) {
    }
    set_drawing(true);
    forget_pages(plan.forgotten);
    install_platform(nullptr);
    sound_shutdown();
    use_sound_library(nullptr);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return took.count();
}

// Back and forth between the last two games' starts, as a watcher pressing
// Page Up and Page Down in turn.
void BM_JumpAnHourIn(benchmark::State& state) {
    const watched_recording* w = watched(state);
    if (w == nullptr) return;
    keep_page_history(true);
    bool to_last = false;
    double drawn_s = 0;
    for (auto _ : state) {
        to_last = !to_last;
        const std::uint64_t to = to_last ? w->last_game : w->game_before;
        const redrawing plan = w->timeline.draw_from(to, current_page_marks());
        drawn_s += static_cast<double>(to - plan.from_ms) / 1000;
        state.SetIterationTime(play_to(*w, to, plan));
    }
    state.counters["at_min"] = static_cast<double>(w->last_game) / 60'000;
    state.counters["drawn_s"] = drawn_s / static_cast<double>(state.iterations());
}
BENCHMARK(BM_JumpAnHourIn)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_JumpAnHourInFloor(benchmark::State& state) {
    const watched_recording* w = watched(state);
    if (w == nullptr) return;
    keep_page_history(false);
    for (auto _ : state) state.SetIterationTime(play_to(*w, w->last_game, {UINT64_MAX, 0}));
    keep_page_history(true);
}
BENCHMARK(BM_JumpAnHourInFloor)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
