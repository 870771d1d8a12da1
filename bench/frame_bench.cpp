// How long the game's work takes, without its sleeps, each beside the floor
// it cannot beat: a plain memcpy of the same bytes. See bench/README.md.
// Run in the game folder:  cd build/game && ../bench/korvane_bench
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "assets/assets.h"
#include "busy_frames.h"
#include "present/argb_conversion.h"
#include "present/headless_platform.h"
#include "present/picture_digest.h"
#include "present/screen.h"
#include "recorded_games.h"

namespace {

constexpr std::size_t page_bytes = screen_width * screen_height;

// A memcpy of n bytes, from a buffer of its own to another.
void copy_bytes(benchmark::State& state, std::size_t n) {
    std::vector<std::uint8_t> from(n, 7), to(n);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), n);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * n));
}

// Bytes the drawing operations of one frame write.
std::size_t bytes_of_one_frame(void (*frame)()) {
    frame();
    const std::uint64_t before = bytes_drawn();
    frame();
    return static_cast<std::size_t>(bytes_drawn() - before);
}

void BM_BusyFrame(benchmark::State& state) {
    open_game_screen();
    set_up_busy_frame();
    for (auto _ : state) play_busy_frame();
    state.counters["bytes"] = static_cast<double>(bytes_of_one_frame(play_busy_frame));
}
BENCHMARK(BM_BusyFrame)->Unit(benchmark::kMicrosecond);

void BM_BusyFrameFloor(benchmark::State& state) {
    open_game_screen();
    set_up_busy_frame();
    copy_bytes(state, bytes_of_one_frame(play_busy_frame));
}
BENCHMARK(BM_BusyFrameFloor)->Unit(benchmark::kMicrosecond);

void BM_BonusFrame(benchmark::State& state) {
    open_game_screen();
    set_up_bonus_frame();
    for (auto _ : state) play_bonus_frame();
}
BENCHMARK(BM_BonusFrame)->Unit(benchmark::kMicrosecond);

void BM_PageCopy(benchmark::State& state) { copy_bytes(state, page_bytes); }
BENCHMARK(BM_PageCopy)->Unit(benchmark::kMicrosecond);

void BM_PutTransparentCarrier(benchmark::State& state) {
    open_game_screen();
    for (auto _ : state) put_image(nullptr, 64, 40, sprite_images[sprite_carrier], put_mode::transparent);
}
BENCHMARK(BM_PutTransparentCarrier)->Unit(benchmark::kMicrosecond);

// The carrier's rows copied as they are: the floor of its transparent put.
void BM_PutTransparentCarrierFloor(benchmark::State& state) {
    open_game_screen();
    for (auto _ : state) put_image(nullptr, 64, 40, sprite_images[sprite_carrier], put_mode::copy);
}
BENCHMARK(BM_PutTransparentCarrierFloor)->Unit(benchmark::kMicrosecond);

void BM_PutSquidSilhouette(benchmark::State& state) {
    open_game_screen();
    for (auto _ : state) put_sprite_silhouette(nullptr, 200, 200, sprite_explosion0 + 7, 12);
}
BENCHMARK(BM_PutSquidSilhouette)->Unit(benchmark::kMicrosecond);

void BM_PresentConversion(benchmark::State& state) {
    open_game_screen();
    set_up_busy_frame();
    play_busy_frame();
    std::vector<std::uint8_t> argb(4 * page_bytes);
    for (auto _ : state) {
        convert_to_argb(work_page_pixels(), screen_palette(), argb.data(), 4 * screen_width);
        benchmark::DoNotOptimize(argb.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * argb.size()));
}
BENCHMARK(BM_PresentConversion)->Unit(benchmark::kMicrosecond);

void BM_PresentConversionFloor(benchmark::State& state) { copy_bytes(state, 4 * page_bytes); }
BENCHMARK(BM_PresentConversionFloor)->Unit(benchmark::kMicrosecond);

void BM_TraceHash(benchmark::State& state) {
    open_game_screen();
    set_up_busy_frame();
    play_busy_frame();
    for (auto _ : state) benchmark::DoNotOptimize(picture_digest(work_page_pixels(), screen_palette()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page_bytes));
}
BENCHMARK(BM_TraceHash)->Unit(benchmark::kMicrosecond);

// Loading the pictures as a player's start-up does: once, in a fresh process
// (this program run again with --load-graphics-once), so that every page of
// the images is touched for the first time.
void BM_LoadGraphicsCold(benchmark::State& state) {
    const std::string command = "/proc/self/exe --load-graphics-once";
    for (auto _ : state) {
        std::FILE* child = popen(command.c_str(), "r");
        double microseconds = -1;
        if (child == nullptr || std::fscanf(child, "%lf", &microseconds) != 1 || pclose(child) != 0 ||
            microseconds < 0) {
            state.SkipWithError("the fresh process did not load the pictures");
            return;
        }
        state.SetIterationTime(microseconds / 1e6);
    }
}
BENCHMARK(BM_LoadGraphicsCold)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

// Whole games, as korvane-headless --timedemo plays them: the autoplayer's
// games recorded once, then replayed with and without drawing. Each replay is
// a fresh process; its time is the wall time the timedemo line reports, and
// frames_per_s its frames of play a second.
void timedemo(benchmark::State& state, const char* options) {
    const std::string& recording = recorded_games(8);
    if (recording.empty()) {
        state.SkipWithError("the autoplayer's games were not recorded: run in the game folder");
        return;
    }
    const std::string command =
        "./korvane-headless --timedemo " + std::string(options) + " --input '" + recording + "'";
    double frames = 0, seconds = 0;
    for (auto _ : state) {
        std::FILE* child = popen(command.c_str(), "r");
        unsigned long long frames_of_play = 0;
        double virtual_s = 0, wall_s = 0;
        if (child == nullptr ||
            std::fscanf(child, "timedemo: %llu frames of play, %lf s virtual, %lf s wall", &frames_of_play, &virtual_s,
                        &wall_s) != 3 ||
            pclose(child) != 0 || frames_of_play == 0) {
            state.SkipWithError("the timedemo did not run");
            return;
        }
        state.SetIterationTime(wall_s);
        frames += static_cast<double>(frames_of_play);
        seconds += wall_s;
    }
    state.counters["frames"] = frames / static_cast<double>(state.iterations());
    state.counters["frames_per_s"] = seconds > 0 ? frames / seconds : 0;
}

void BM_Timedemo(benchmark::State& state) { timedemo(state, ""); }
BENCHMARK(BM_Timedemo)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TimedemoWithoutDrawing(benchmark::State& state) { timedemo(state, "--no-draw"); }
BENCHMARK(BM_TimedemoWithoutDrawing)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

int load_graphics_once() {
    headless_platform platform({}, {}, std::nullopt);
    install_platform(&platform);
    open_screen(screen_width, screen_height, 8, screen_pages, false);
    const auto start = std::chrono::steady_clock::now();
    load_graphics();
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    std::printf("%.1f\n", took.count());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--load-graphics-once") == 0) return load_graphics_once();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
