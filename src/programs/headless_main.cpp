// korvane-headless: the same game on the headless platform, for tests,
// replays, timedemos and benchmarks (see its --help).
#include <chrono>
#include <cstdio>
#include <optional>
#include <utility>

#include "autoplay/autoplay.h"
#include "flow/flow.h"
#include "present/headless_platform.h"
#include "present/page_history.h"
#include "present/screen.h"
#include "programs/command_line.h"
#include "programs/game_report.h"
#include "programs/headless_outputs.h"
#include "programs/process.h"
#include "programs/recordings.h"
#include "programs/usage.h"
#include "screens/screens.h"
#include "sound/recording_sound_library.h"
#include "sound/sound.h"
#include "state/program_state.h"

namespace {

constexpr const char* program = "korvane-headless";
headless_platform* the_platform = nullptr;
run_outputs outputs;

void frame_ended() { outputs.frame_ended(the_platform->now_ms()); }

// Ctrl+C and kill end the run as its time running out would: what the run
// produced so far is written.
void stop_run(int exit_code) { the_platform->stop(exit_code); }

}  // namespace

int main(int argc, char** argv) {
    prepare_standard_streams(false);
    command_line o;
    if (!read_command_line(program_kind::headless, program, argc, argv, o)) return exit_bad_command;
    if (o.help || o.version) {
        o.help ? print_usage(program_kind::headless, argv[0]) : print_version(program_kind::headless);
        return exit_done;
    }
    script_contents script;
    if (!o.replay.empty() && !read_recording(program, o.replay, script)) return exit_bad_command;
    // A recording replays from the best score it began with, and leaves the
    // player's own alone.
    if (script.best_at_start) keep_hi_score_apart(script.best_at_start);
    calm_mode = plays_calm(script, o.calm) ? -1 : 0;
    // The autoplayer's scores are not the player's.
    if (o.autoplay_seed) keep_hi_score_apart(std::nullopt);
    if (!outputs.open(o, argc, argv)) return exit_output_failed;
    set_frame_end_hook(frame_ended);
    // The autoplayer plays until its games are over, unless told when to stop.
    const bool plays_to_the_end = o.autoplay_seed && !o.end_ms;
    if (plays_to_the_end) o.end_ms = headless_platform::no_end;
    headless_platform platform(std::move(script.events), std::move(o.shots), o.end_ms);
    the_platform = &platform;
    outputs.watch(platform);
    if (o.autoplay_seed) play_by_itself(platform, *o.autoplay_seed, o.games.value_or(1));
    // The game's sound runs as it would with a device, and what it plays is
    // written down. Static: the sound closes at exit, after main.
    static recording_sound_library sound([&platform] { return platform.now_ms(); });
    sound.log_plays = !o.sounds_file.empty();
    use_sound_library(&sound);
    on_stop_request(stop_run);
    install_platform(&platform);
    set_drawing(!o.no_draw);
    keep_page_history(false);
    int exit_code = exit_done;
    const auto wall_start = std::chrono::steady_clock::now();
    try {
        exit_code = run_program(static_cast<int>(o.game_args.size()) - 1, o.game_args.data(), false);
    } catch (const headless_run_over& over) {
        exit_code = over.exit_code;
        // The autoplayer leaves the program itself; a game left waiting for
        // input is its fault.
        if (plays_to_the_end && exit_code == exit_done) {
            std::fprintf(stderr, "%s: the autoplayer left the game waiting for input at %llu ms\n", program,
                         static_cast<unsigned long long>(platform.now_ms()));
            exit_code = exit_output_failed;
        }
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wall_start;
    if (o.timedemo)
        std::printf("timedemo: %llu frames of play, %.1f s virtual, %.3f s wall, %.0f frames/s\n",
                    static_cast<unsigned long long>(outputs.frames_of_play()), platform.now_ms() / 1000.0, wall.count(),
                    wall.count() > 0 ? outputs.frames_of_play() / wall.count() : 0.0);
    if (!o.verify_file.empty()) std::printf("%s\n", verify_report(platform.now_ms(), outputs.frames_of_play()).c_str());
    const bool all_made = outputs.finish(platform, sound.plays);
    install_platform(nullptr);
    return all_made ? exit_code : exit_output_failed;
}
