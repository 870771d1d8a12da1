// How steadily the real window shows the game: the intervals between the
// pictures it presents, on the title and in play, with vsync on and off, in
// the windowed game under a virtual X server (Xvfb and openbox). A frame is
// due every 40 ms of the wall clock.
//   cd build/game && ../bench/window_pacing
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../tests/window/x_session.h"
#include "flow/flow.h"
#include "present/input_script.h"
#include "present/sdl_platform.h"
#include "sound/sound.h"

namespace {

using clock_type = std::chrono::steady_clock;

// The SDL platform, with the moment of every new picture it is given to show
// (and whether a frame of play ended since the one before), and of every end
// of a sleep: the title shows one picture for 900 ms at a time, and its
// frames are its wake-ups.
class timed_platform final : public platform {
public:
    explicit timed_platform(std::unique_ptr<platform> real) : real_(std::move(real)) {}
    struct shown {
        double ms;
        bool after_a_frame_of_play;
    };
    std::vector<shown> presents;
    std::vector<double> wake_ups;
    static std::atomic<int> frames_of_play;

    bool open_display(bool full_screen) override { return real_->open_display(full_screen); }
    const char* failure_reason() const override { return real_->failure_reason(); }
    void present(const std::uint8_t* pixels, const rgb* palette) override {
        real_->present(pixels, palette);
        if (std::equal(pixels, pixels + last_.size(), last_.begin())) return;
        std::copy(pixels, pixels + last_.size(), last_.begin());
        const int frames = frames_of_play.load();
        presents.push_back({since_start(), frames == last_frames_ + 1});
        last_frames_ = frames;
    }
    void pump_events() override { real_->pump_events(); }
    std::uint64_t now_ms() override { return real_->now_ms(); }
    std::uint64_t virtual_ms() override { return real_->virtual_ms(); }
    void sleep_begins(int ms) override { real_->sleep_begins(ms); }
    void sleep_ends() override {
        real_->sleep_ends();
        wake_ups.push_back(since_start());
    }
    std::uint64_t wake_time(int ms) override { return real_->wake_time(ms); }
    void wait_ms(int ms) override { real_->wait_ms(ms); }
    int longest_wait_ms() const override { return real_->longest_wait_ms(); }
    void idle() override { real_->idle(); }
    void title_shown() override { real_->title_shown(); }
    void warp_pointer(int x, int y) override { real_->warp_pointer(x, y); }
    void show_pointer(bool shown) override { real_->show_pointer(shown); }
    void confine_pointer(bool confined) override { real_->confine_pointer(confined); }

private:
    double since_start() const { return std::chrono::duration<double, std::milli>(clock_type::now() - start_).count(); }
    std::unique_ptr<platform> real_;
    std::vector<std::uint8_t> last_ = std::vector<std::uint8_t>(640 * 480, 0xff);
    clock_type::time_point start_ = clock_type::now();
    int last_frames_ = 0;
};
std::atomic<int> timed_platform::frames_of_play = 0;

double percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(share * static_cast<double>(values.size())))];
}

// Replays a script in the window for a while; the intervals between the
// pictures shown in play, or between the title's wake-ups when play is false.
std::vector<double> intervals(const std::string& script_text, bool vsync, bool play, std::chrono::seconds how_long) {
    script_contents script;
    std::string why;
    std::istringstream text(script_text);
    if (!parse_script(text, script, why)) return {};
    window_settings settings;
    settings.vsync = vsync;
    auto timed = std::make_unique<timed_platform>(make_sdl_platform({.title = "korvane",
                                                                     .on_screenshot = {},
                                                                     .replay = std::move(script.events),
                                                                     .timeline = {},
                                                                     .on_catch_up = {},
                                                                     .settings = settings,
                                                                     .on_settings_changed = {}}));
    timed_platform& t = *timed;
    install_platform(&t);
    set_frame_end_hook([] { ++timed_platform::frames_of_play; });
    std::thread stopper([how_long] {
        std::this_thread::sleep_for(how_long);
        stop_sdl_platform(143);
    });
    const char* words[] = {"korvane", "NOSOUND", nullptr};
    try {
        run_program(2, const_cast<char**>(words), false);
    } catch (const program_stopped&) {
    } catch (const replay_ended&) {
    }
    stopper.join();
    stop_sdl_platform(0);
    install_platform(nullptr);
    set_frame_end_hook(nullptr);
    std::vector<double> gaps;
    if (!play) {
        // The first second is the title's picture being put up.
        for (std::size_t i = 1; i < t.wake_ups.size(); ++i)
            if (t.wake_ups[i - 1] > 1000) gaps.push_back(t.wake_ups[i] - t.wake_ups[i - 1]);
        return gaps;
    }
    for (std::size_t i = 1; i < t.presents.size(); ++i)
        if (t.presents[i].after_a_frame_of_play && t.presents[i - 1].after_a_frame_of_play)
            gaps.push_back(t.presents[i].ms - t.presents[i - 1].ms);
    return gaps;
}

void report(benchmark::State& state, const std::vector<double>& gaps) {
    state.counters["pictures"] = static_cast<double>(gaps.size());
    state.counters["median_ms"] = percentile(gaps, 0.5);
    state.counters["p90_ms"] = percentile(gaps, 0.9);
    state.counters["p99_ms"] = percentile(gaps, 0.99);
    state.counters["max_ms"] = percentile(gaps, 1.0);
}

std::string recorded_game() {
    std::ifstream in(KORVANE_SOURCE_DIR "/tests/replays/autoplay-to-stage-5.script");
    return {std::istreambuf_iterator<char>(in), {}};
}

// The title, whose frames are 30 ms long.
void BM_TitleIntervals(benchmark::State& state) {
    for (auto _ : state)
        report(state, intervals("0 move 320 96\n", state.range(0) != 0, false, std::chrono::seconds(8)));
}

// The built-in player's game, replayed: its play begins after 22 s of the
// opening and the instructions.
void BM_PlayIntervals(benchmark::State& state) {
    for (auto _ : state) report(state, intervals(recorded_game(), state.range(0) != 0, true, std::chrono::seconds(45)));
}

BENCHMARK(BM_TitleIntervals)->ArgName("vsync")->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayIntervals)->ArgName("vsync")->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // The display is a virtual one of its own, unless one is given.
    std::optional<x_session> x;
    if (std::getenv("KORVANE_BENCH_DISPLAY") == nullptr) {
        x.emplace(1280, 1024);
        setenv("DISPLAY", x->display().c_str(), 1);
    } else {
        setenv("DISPLAY", std::getenv("KORVANE_BENCH_DISPLAY"), 1);
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
