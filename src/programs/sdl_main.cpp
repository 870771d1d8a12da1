#include "programs/sdl_main.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "flow/flow.h"
#include "present/sdl_platform.h"
#include "programs/command_line.h"
#include "programs/process.h"
#include "programs/recordings.h"
#include "programs/replay_survey.h"
#include "programs/screenshot.h"
#include "programs/settings.h"
#include "programs/usage.h"
#include "screens/screens.h"
#include "sound/sdl_mixer_library.h"
#include "state/program_state.h"

namespace {

// The window's title: the program's file name without folder or extension.
std::string program_title(const char* path) {
    std::string name = path != nullptr ? path : "korvane";
    if (const auto slash = name.find_last_of("/\\"); slash != std::string::npos) name.erase(0, slash + 1);
    if (const auto dot = name.find_last_of('.'); dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

}  // namespace

int run_on_sdl(int argc, char** argv, bool full_screen) {
    prepare_standard_streams(true);
    const std::string program = program_title(argc > 0 ? argv[0] : nullptr);
    command_line o;
    if (!read_command_line(program_kind::windowed, program.c_str(), argc, argv, o)) return exit_bad_command;
    if (o.help || o.version) {
        o.help ? print_usage(program_kind::windowed, argv[0]) : print_version(program_kind::windowed);
        return exit_done;
    }
    std::optional<std::vector<script_event>> replay;
    script_contents script;
    if (!o.replay.empty()) {
        if (!read_recording(program.c_str(), o.replay, script)) return exit_bad_command;
        keep_hi_score_apart(script.best_at_start);
        replay = std::move(script.events);
    }
    if (!o.record.empty() && !start_recording(program.c_str(), o.record, argc, argv)) return exit_output_failed;
    // The player's settings, with this run's own over them; korvane-fs starts
    // on the whole screen whatever they say.
    game_settings saved = read_settings(program.c_str());
    game_settings run = saved;
    std::string why;
    for (const auto& [name, value] : o.settings) set_setting(run, name, value, why);
    calm_mode = plays_calm(script, run.calm) ? -1 : 0;
    // Played through once out of sight: where its games start, and what a jump
    // must draw. A replay being recorded does not jump, so needs none.
    std::optional<replay_timeline> timeline;
    if (replay && o.record.empty())
        timeline = survey_replay(*replay, static_cast<int>(o.game_args.size()) - 1, o.game_args.data());
    if (full_screen) run.window.full_screen = true;
    const auto hear = [](const window_settings& s) { set_sdl_sound_volume(s.muted ? 0 : s.volume); };
    hear(run.window);
    window_settings shown = run.window;
    sdl_window_setup setup{
        .title = replay ? program + " (replay)" : program,
        .on_screenshot = [](const std::uint8_t* pixels, const rgb* palette) { save_screenshot(pixels, palette); },
        .replay = std::move(replay),
        .timeline = std::move(timeline),
        .on_catch_up = hold_sdl_sound,
        .settings = run.window,
        .on_settings_changed =
            [&](const window_settings& now) {
                hear(now);
                carry_player_changes(shown, now, saved.window);
                shown = now;
                save_settings(program.c_str(), saved);
            },
    };
    auto display = make_sdl_platform(std::move(setup));
    install_platform(display.get());
    use_sound_library(&sdl_mixer_library());
    // A signal ends the program as a quit would at that moment.
    on_stop_request(stop_sdl_platform);
    int exit_code = exit_done;
    try {
        for (;;) {
            try {
                exit_code =
                    run_program(static_cast<int>(o.game_args.size()) - 1, o.game_args.data(), run.window.full_screen);
                break;
            } catch (const replay_jumped&) {
                // The game from its start again, in the same window, with the
                // same sound and pictures.
                reset_program_state();
            }
        }
    } catch (const replay_ended&) {
    } catch (const program_stopped& stopped) {
        save_a_beaten_best();
        exit_code = stopped.exit_code;
    }
    if (!o.record.empty() && !finish_recording(program.c_str(), o.record) && exit_code == exit_done)
        exit_code = exit_output_failed;
    install_platform(nullptr);
    display.reset();  // it tells the settings it has not told yet
    return exit_code;
}
