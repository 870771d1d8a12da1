#include "programs/sdl_main.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "flow/flow.h"
#include "present/sdl_platform.h"
#include "programs/process.h"
#include "programs/recordings.h"
#include "programs/screenshot.h"
#include "programs/usage.h"
#include "screens/screens.h"
#include "sound/sdl_mixer_library.h"

namespace {

// The window's title: the program's file name without folder or extension.
std::string program_title(const char* path) {
    std::string name = path != nullptr ? path : "korvane";
    if (const auto slash = name.find_last_of("/\\"); slash != std::string::npos) name.erase(0, slash + 1);
    if (const auto dot = name.find_last_of('.'); dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

struct recording_options {
    std::string record;
    std::string replay;
    std::vector<char*> game_args;  // the command line without them, for the game
};

// Takes --record FILE and --replay FILE out of the command line; false with
// a message when one lacks its file.
bool take_recording_options(int argc, char** argv, const std::string& program, recording_options& o) {
    for (int i = 0; i < argc; ++i) {
        const std::string word = argv[i];
        if (i == 0 || (word != "--record" && word != "--replay")) {
            o.game_args.push_back(argv[i]);
            continue;
        }
        if (i + 1 >= argc || argv[i + 1][0] == '\0') {
            std::fprintf(stderr, "%s: %s wants a file\n", program.c_str(), word.c_str());
            return false;
        }
        (word == "--record" ? o.record : o.replay) = argv[++i];
    }
    o.game_args.push_back(nullptr);
    return recording_apart_from_replay(program.c_str(), o.record, o.replay);
}

}  // namespace

int run_on_sdl(int argc, char** argv, bool full_screen) {
    prepare_standard_streams(true);
    if (answer_help_or_version(argc, argv)) return 0;
    const std::string program = program_title(argc > 0 ? argv[0] : nullptr);
    recording_options o;
    if (!take_recording_options(argc, argv, program, o)) return 2;
    std::optional<std::vector<script_event>> replay;
    if (!o.replay.empty()) {
        script_contents script;
        if (!read_recording(program.c_str(), o.replay, script)) return 2;
        keep_hi_score_apart(script.best_at_start);
        replay = std::move(script.events);
    }
    if (!o.record.empty() && !start_recording(program.c_str(), o.record, argc, argv)) return 2;
    auto display = make_sdl_platform(
        replay ? program + " (replay)" : program,
        [](const std::uint8_t* pixels, const rgb* palette) { save_screenshot(pixels, palette); }, std::move(replay));
    install_platform(display.get());
    use_sound_library(&sdl_mixer_library());
    // A signal ends the program as a quit would at that moment.
    on_stop_request(stop_sdl_platform);
    int exit_code = 0;
    try {
        exit_code = run_program(static_cast<int>(o.game_args.size()) - 1, o.game_args.data(), full_screen);
    } catch (const replay_ended&) {
    } catch (const program_stopped& stopped) {
        save_a_beaten_best();
        exit_code = stopped.exit_code;
    }
    if (!o.record.empty() && !finish_recording(program.c_str(), o.record) && exit_code == 0) exit_code = 1;
    install_platform(nullptr);
    return exit_code;
}
